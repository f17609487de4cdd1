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
    <name>memory</name>
    <message>
        <location filename="../toolkit/system/Memory.cpp" line="+105"/>
        <source>The %1 needs about %2 MB of memory; %3 MB are available</source>
        <translation>%1 are nevoie de aproximativ %2 MB de memorie; sunt disponibili %3 MB</translation>
    </message>
</context>
<context>
    <name>system</name>
    <message>
        <location filename="../toolkit/system/Printing.cpp" line="+193"/>
        <source>Cannot print: the printer did not take page %1.</source>
        <translation>Nu se poate tipari: imprimanta nu a primit pagina %1.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cannot print: the text changed while it was being printed.</source>
        <translation>Nu se poate tipari: textul s-a schimbat in timp ce era tiparit.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Cannot print to file %1: %2</source>
        <translation>Nu se poate tipari in fisierul %1: %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Cannot print to file %1: nothing was written</source>
        <translation>Nu se poate tipari in fisierul %1: nu s-a scris nimic</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Cannot print: no printer is set up on this computer.</source>
        <translation>Nu se poate tipari: pe acest calculator nu este instalata nicio imprimanta.</translation>
    </message>
    <message>
        <location filename="../toolkit/system/SystemPrinter_cups.cpp" line="+22"/>
        <source>The printer does not exist</source>
        <translation>Imprimanta nu exista</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The printer does not take jobs now</source>
        <translation>Imprimanta nu primeste lucrari acum</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The print system does not let this user print</source>
        <translation>Sistemul de tiparire nu permite acestui utilizator sa tipareasca</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The print system does not answer</source>
        <translation>Sistemul de tiparire nu raspunde</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The job is too large for the print system</source>
        <translation>Lucrarea este prea mare pentru sistemul de tiparire</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The print system refused the job</source>
        <translation>Sistemul de tiparire a refuzat lucrarea</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Cannot print on &quot;%1&quot;: %2</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The print job could not be written</source>
        <translation>Lucrarea de tiparire nu a putut fi scrisa</translation>
    </message>
    <message>
        <location filename="../toolkit/system/SystemPrinter_qt.cpp" line="+20"/>
        <source>Cannot print on &quot;%1&quot;: the printer is not available.</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: imprimanta nu este disponibila.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cannot print on &quot;%1&quot;: the print system refused the job.</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: sistemul de tiparire a refuzat lucrarea.</translation>
    </message>
    <message>
        <location filename="../toolkit/system/Texts.cpp" line="+18"/>
        <location line="+33"/>
        <source>The file or a folder of its path does not exist</source>
        <translation>Fisierul sau un dosar din calea lui nu exista</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+34"/>
        <source>Permission denied</source>
        <translation>Nu aveti permisiunea necesara</translation>
    </message>
    <message>
        <location line="-32"/>
        <location line="+34"/>
        <source>It is a folder</source>
        <translation>Este un dosar</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+35"/>
        <source>The disk is full</source>
        <translation>Discul este plin</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>The disk is read-only</source>
        <translation>Discul permite doar citirea</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>The name is too long</source>
        <translation>Numele este prea lung</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>Too many symbolic links</source>
        <translation>Prea multe legaturi simbolice</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+33"/>
        <source>The disk or the device could not be read or written</source>
        <translation>Discul sau dispozitivul nu a putut fi citit sau scris</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+33"/>
        <source>The disk quota is used up</source>
        <translation>Cota de spatiu pe disc este epuizata</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+32"/>
        <source>The file is in use by another program</source>
        <translation>Fisierul este folosit de alt program</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+33"/>
        <source>There is not enough memory</source>
        <translation>Memoria nu ajunge</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+34"/>
        <source>Too many files are open</source>
        <translation>Sunt deschise prea multe fisiere</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>A part of the path is not a folder</source>
        <translation>O parte din cale nu este un dosar</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Too many links</source>
        <translation>Prea multe legaturi</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The file is too large</source>
        <translation>Fisierul este prea mare</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Error %1 of the system</source>
        <translation>Eroarea %1 a sistemului</translation>
    </message>
</context>
<context>
    <name>vcl</name>
    <message>
        <location filename="../toolkit/vcl/PrintProgress.cpp" line="+30"/>
        <source>Printing...</source>
        <translation>se tipareste...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Renunta</translation>
    </message>
    <message>
        <location filename="../toolkit/vcl/TApplication.cpp" line="+89"/>
        <source>Out of memory: the operation was abandoned.</source>
        <translation>Memoria nu ajunge: operatia a fost abandonata.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The operation failed for an unknown reason.</source>
        <translation>Operatia a esuat dintr-un motiv necunoscut.</translation>
    </message>
    <message>
        <location filename="../toolkit/vcl/TStrings.cpp" line="+30"/>
        <source>List index out of bounds (%1)</source>
        <translation>Lista nu are linia %1</translation>
    </message>
</context>
</TS>
