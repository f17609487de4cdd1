#include "BoxFixture.h"

#include "PhoneBookData.h"

#include <QCoreApplication>

#include <map>

namespace benchdata {

namespace {

std::map<int, LoadedBox> boxes;

}   // namespace

void ReleaseBoxes() { boxes.clear(); }

LoadedBox &BoxWith(int count)
{
    auto found = boxes.find(count);
    if (found != boxes.end())
        return found->second;
    LoadedBox &loaded = boxes[count];
    loaded.entries = Entries(count);
    loaded.plainFile = loaded.directory.filePath(QStringLiteral("baza.txt"));
    loaded.rtfFile = loaded.directory.filePath(QStringLiteral("baza.rtf"));
    WriteFile(loaded.plainFile, PlainFile(loaded.entries));
    WriteFile(loaded.rtfFile, RtfFile(loaded.entries));
    loaded.box = NewHiddenBox(loaded.plainFile);
    loaded.box->show();
    Settle(*loaded.box);
    return loaded;
}

std::unique_ptr<TRichEdit> NewHiddenBox(const QString &fileName)
{
    auto box = std::make_unique<TRichEdit>();
    // As the main window's list: its size, no scroll bars.
    box->resize(281, 353);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->Lines->LoadFromFile(fileName);
    // Loaded means filled: a hidden box would otherwise fill in the event loop's turns.
    box->FinishFill();
    return box;
}

void Settle(TRichEdit &box)
{
    box.repaint();
    QCoreApplication::processEvents();
}

}   // namespace benchdata
