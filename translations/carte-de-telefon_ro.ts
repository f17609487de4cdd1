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
    <name>forms</name>
    <message>
        <location filename="../app/main.cpp" line="+13"/>
        <source>carte de telefon</source>
        <translation>carte de telefon</translation>
    </message>
    <message>
        <location filename="../forms/Unit1.cpp" line="+66"/>
        <source>printeaza ceea ce apare in caseta</source>
        <translation>printeaza ceea ce apare in caseta</translation>
    </message>
</context>
<context>
    <name>richtext</name>
    <message>
        <location filename="../toolkit/richtext/PageLayout.cpp" line="+185"/>
        <source>Cannot print: the printer did not take page %1.</source>
        <translation>Nu se poate tipari: imprimanta nu a primit pagina %1.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Cannot print: the text changed while it was being printed.</source>
        <translation>Nu se poate tipari: textul s-a schimbat in timp ce era tiparit.</translation>
    </message>
    <message>
        <location filename="../toolkit/richtext/Printing.cpp" line="+31"/>
        <source>Cannot print to file %1: %2.</source>
        <translation>Nu se poate tipari in fisierul %1: %2.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Cannot print to file %1: nothing was written.</source>
        <translation>Nu se poate tipari in fisierul %1: nu s-a scris nimic.</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Cannot print: no printer is set up on this computer.</source>
        <translation>Nu se poate tipari: pe acest calculator nu este instalata nicio imprimanta.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cannot print: none of the printers of this computer is chosen as the default one.</source>
        <translation>Nu se poate tipari: niciuna dintre imprimantele acestui calculator nu este aleasa ca imprimanta implicita.</translation>
    </message>
    <message>
        <location filename="../toolkit/richtext/FillInTurns.cpp" line="+138"/>
        <source>Cannot show the list: there is not enough memory for the text.</source>
        <translation>Lista nu poate fi aratata: memoria nu ajunge pentru text.</translation>
    </message>
    <message>
        <location filename="../toolkit/richtext/Paste.cpp" line="+31"/>
        <source>Cannot paste: the text needs about %1 MB of memory; %2 MB are available.</source>
        <translation>Textul nu poate fi lipit: are nevoie de aproximativ %1 MB de memorie, iar disponibili sunt %2 MB.</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Cannot paste: there is not enough memory for the text.</source>
        <translation>Textul nu poate fi lipit: memoria nu ajunge pentru el.</translation>
    </message>
</context>
<context>
    <name>system</name>
    <message>
        <location filename="../toolkit/system/SystemPrinter_qt.cpp" line="+23"/>
        <source>Cannot print on &quot;%1&quot;: the printer is not available.</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: imprimanta nu este disponibila.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Cannot print on &quot;%1&quot;: the print system refused the job.</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: sistemul de tiparire a refuzat lucrarea.</translation>
    </message>
    <message>
        <location filename="../toolkit/system/Files.cpp" line="+25"/>
        <source>Cannot open file %1: %2.</source>
        <translation>Fisierul %1 nu poate fi deschis: %2.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cannot save file %1: %2.</source>
        <translation>Fisierul %1 nu poate fi salvat: %2.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>the file needs about %1 MB of memory; %2 MB are available</source>
        <translation>fisierul are nevoie de aproximativ %1 MB de memorie, iar disponibili sunt %2 MB</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>there is not enough memory to load the file</source>
        <translation>memoria nu ajunge pentru a incarca fisierul</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>there is not enough memory to save the file</source>
        <translation>memoria nu ajunge pentru a salva fisierul</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the file is larger than %1 MB</source>
        <translation>fisierul are mai mult de %1 MB</translation>
    </message>
    <message>
        <location filename="../toolkit/system/FilesPlatform.cpp" line="+176"/>
        <location line="+46"/>
        <location line="+92"/>
        <location line="+17"/>
        <location filename="../toolkit/system/Texts.cpp" line="+28"/>
        <location line="+34"/>
        <source>it is a folder</source>
        <translation>este un dosar</translation>
    </message>
    <message>
        <location line="-153"/>
        <location line="+138"/>
        <source>it is not a regular file but a device or a pipe</source>
        <translation>nu este un fisier obisnuit, ci un dispozitiv sau o conducta</translation>
    </message>
    <message>
        <location line="-110"/>
        <location line="+81"/>
        <source>the folder does not exist</source>
        <translation>dosarul nu exista</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>the folder no longer exists</source>
        <translation>dosarul nu mai exista</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>the new file took the name, but its folder could not be written to the disk, so a power failure may bring back the earlier file: %1</source>
        <translation>fisierul nou a luat numele, dar dosarul lui nu a putut fi scris pe disc, asa ca o cadere de tensiune poate aduce inapoi fisierul vechi: %1</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>the file is read-only</source>
        <translation>fisierul poate fi doar citit</translation>
    </message>
    <message>
        <location filename="../toolkit/system/SystemPrinter_cups.cpp" line="+21"/>
        <source>the printer does not exist</source>
        <translation>imprimanta nu exista</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the printer does not take jobs now</source>
        <translation>imprimanta nu primeste lucrari acum</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>the print system does not let this user print</source>
        <translation>sistemul de tiparire nu permite acestui utilizator sa tipareasca</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the print system does not answer</source>
        <translation>sistemul de tiparire nu raspunde</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the job is too large for the print system</source>
        <translation>lucrarea este prea mare pentru sistemul de tiparire</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the print system refused the job</source>
        <translation>sistemul de tiparire a refuzat lucrarea</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Cannot print on &quot;%1&quot;: %2.</source>
        <translation>Nu se poate tipari la imprimanta &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>the print job could not be written</source>
        <translation>lucrarea de tiparire nu a putut fi scrisa</translation>
    </message>
    <message>
        <location filename="../toolkit/system/Texts.cpp" line="-38"/>
        <location line="+33"/>
        <source>the file or a folder of its path does not exist</source>
        <translation>fisierul sau un dosar din calea lui nu exista</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+34"/>
        <source>permission denied</source>
        <translation>nu aveti permisiunea necesara</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+35"/>
        <source>the disk is full</source>
        <translation>discul este plin</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>the disk is read-only</source>
        <translation>discul poate fi doar citit</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>the name is too long</source>
        <translation>numele este prea lung</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+35"/>
        <source>too many symbolic links</source>
        <translation>prea multe legaturi simbolice</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+33"/>
        <source>the disk or the device could not be read or written</source>
        <translation>discul sau dispozitivul nu a putut fi citit sau scris</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+33"/>
        <source>the disk quota is used up</source>
        <translation>cota de spatiu pe disc s-a epuizat</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+32"/>
        <source>the file is in use by another program</source>
        <translation>fisierul este folosit de alt program</translation>
    </message>
    <message>
        <location line="-29"/>
        <location line="+33"/>
        <source>there is not enough memory</source>
        <translation>memoria nu ajunge</translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+34"/>
        <source>too many files are open</source>
        <translation>sunt deschise prea multe fisiere</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>a part of the path is not a folder</source>
        <translation>o parte din cale nu este un dosar</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>too many links</source>
        <translation>prea multe legaturi</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>the file is too large</source>
        <translation>fisierul este prea mare</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>error %1 of the system</source>
        <translation>eroarea %1 a sistemului</translation>
    </message>
</context>
<context>
    <name>vcl</name>
    <message>
        <location filename="../toolkit/vcl/PrintProgress.cpp" line="+31"/>
        <source>Printing...</source>
        <translation>se tipareste...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancel</source>
        <translation>Renunta</translation>
    </message>
    <message>
        <location filename="../toolkit/vcl/TApplication.cpp" line="+76"/>
        <source>Out of memory: the operation was abandoned.</source>
        <translation>Memoria nu ajunge: operatia a fost abandonata.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The operation failed for an unknown reason.</source>
        <translation>Operatia a esuat dintr-un motiv necunoscut.</translation>
    </message>
    <message>
        <location filename="../toolkit/vcl/TStrings.cpp" line="+28"/>
        <source>List index out of bounds (%1)</source>
        <translation>Lista nu are linia %1</translation>
    </message>
</context>
</TS>
