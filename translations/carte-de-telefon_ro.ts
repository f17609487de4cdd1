<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ro_RO">
<context>
    <name>Form1</name>
    <message>
        <location filename="../forms/Unit1.ui" line="+75"/>
        <source>                             carte de telefoane </source>
        <translation>                             carte de telefoane </translation>
    </message>
    <message>
        <location line="+3"/>
        <source> carte de telefoane </source>
        <translation> carte de telefoane </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>nume</source>
        <translation>nume</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>prenume</source>
        <translation>prenume</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>                  nr. de telefon</source>
        <translation>                  nr. de telefon</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>adauga in cartea de telefoane  </source>
        <translation>adauga in cartea de telefoane  </translation>
    </message>
    <message>
        <location line="+13"/>
        <source>arata cartea de telefoane  </source>
        <translation>arata cartea de telefoane  </translation>
    </message>
    <message>
        <location line="+38"/>
        <source>acolo unde e cursorul text poti sterge daca vrei o inregistrare </source>
        <translation>acolo unde e cursorul text poti sterge daca vrei o inregistrare </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>sterge din cartea de telefoane </source>
        <translation>sterge din cartea de telefoane </translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Datele de mai jos sunt adaugate in cartea de telefoane daca dai click pe butonul de adaugare </source>
        <translation>Datele de mai jos sunt adaugate in cartea de telefoane daca dai click pe butonul de adaugare </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Print...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <location filename="../forms/Unit2.ui" line="+29"/>
        <source>                   stergere         date</source>
        <translation>                   stergere         date</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>ai sters  o inregistrare</source>
        <translation>ai sters  o inregistrare</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <location filename="QtTexts.cpp" line="+6"/>
        <source>&amp;Undo</source>
        <translation>&amp;Anulare</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Redo</source>
        <translation>&amp;Refacere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cu&amp;t</source>
        <translation>&amp;Decupare</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Copy</source>
        <translation>&amp;Copiere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Paste</source>
        <translation>&amp;Lipire</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>&amp;Stergere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select All</source>
        <translation>Selectare &amp;totala</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <location line="+11"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <location line="-9"/>
        <source>&amp;Undo</source>
        <translation>&amp;Anulare</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Redo</source>
        <translation>&amp;Refacere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cu&amp;t</source>
        <translation>&amp;Decupare</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Copy</source>
        <translation>&amp;Copiere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy &amp;Link Location</source>
        <translation>Copiere adresa &amp;legaturii</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Paste</source>
        <translation>&amp;Lipire</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>&amp;Stergere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select All</source>
        <translation>Selectare &amp;totala</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <location filename="../toolkit/vcl/TApplication.cpp" line="+88"/>
        <source>Out of memory: the operation was abandoned.</source>
        <translation>Memoria nu ajunge: operatia a fost abandonata.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The operation failed for an unknown reason.</source>
        <translation>Operatia a esuat dintr-un motiv necunoscut.</translation>
    </message>
</context>
<context>
    <name>TRichEdit</name>
    <message>
        <location filename="../toolkit/vcl/TRichEdit.cpp" line="+177"/>
        <source>Cannot show the list: %1</source>
        <translation>Lista nu poate fi aratata: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+143"/>
        <source>There is not enough memory for the text</source>
        <translation>Memoria nu ajunge pentru text</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+11"/>
        <source>Cannot paste: %1</source>
        <translation>Textul nu poate fi lipit: %1</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>text</source>
        <translation>textul</translation>
    </message>
</context>
<context>
    <name>TStrings</name>
    <message>
        <location filename="../toolkit/vcl/TStrings.cpp" line="+30"/>
        <source>List index out of bounds (%1)</source>
        <translation>Lista nu are linia %1</translation>
    </message>
</context>
<context>
    <name>memory</name>
    <message>
        <location filename="../toolkit/system/Memory.cpp" line="+105"/>
        <source>The %1 needs about %2 MB of memory; %3 MB are available</source>
        <translation>%1 are nevoie de aproximativ %2 MB de memorie; sunt disponibili %3 MB</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <location filename="../toolkit/system/SystemPrinter_cups.cpp" line="+29"/>
        <location filename="../toolkit/system/SystemPrinter_qt.cpp" line="+20"/>
        <location line="+9"/>
        <source>Cannot print on %1: %2</source>
        <translation>Nu se poate tipari la %1: %2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>the print job could not be written</source>
        <translation>lucrarea de tiparire nu a putut fi scrisa</translation>
    </message>
    <message>
        <location filename="../toolkit/system/SystemPrinter_qt.cpp" line="-7"/>
        <source>the printer is not available</source>
        <translation>imprimanta nu este disponibila</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>the print system refused the job</source>
        <translation>sistemul de tiparire a refuzat lucrarea</translation>
    </message>
</context>
</TS>
