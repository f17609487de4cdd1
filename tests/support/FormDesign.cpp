#include "support/FormDesign.h"

#include <QFile>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace support {

namespace {

// The reader stands on a <property>; the value it holds, as text.
QString propertyText(QXmlStreamReader &xml)
{
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"string" || xml.name() == u"number")
            text = xml.readElementText();
        else
            xml.skipCurrentElement();
    }
    return text;
}

QRect propertyRect(QXmlStreamReader &xml)
{
    QRect rect;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"rect") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            const int value = xml.readElementText().toInt();
            if (xml.name() == u"x")
                rect.moveLeft(value);
            else if (xml.name() == u"y")
                rect.moveTop(value);
            else if (xml.name() == u"width")
                rect.setWidth(value);
            else if (xml.name() == u"height")
                rect.setHeight(value);
        }
    }
    return rect;
}

// The reader stands on a <widget>; reads its properties, and its children's when it is
// the window's central widget, where the controls are.
void readWidget(QXmlStreamReader &xml, FormDesign &design, int depth)
{
    const QString name = xml.attributes().value(QLatin1String("name")).toString();
    FormDesign::Control own;
    while (xml.readNextStartElement()) {
        const QString property = xml.attributes().value(QLatin1String("name")).toString();
        if (xml.name() == u"widget" && (depth == 0 || name == u"centralwidget")) {
            readWidget(xml, design, depth + 1);
        } else if (xml.name() != u"property") {
            xml.skipCurrentElement();
        } else if (property == u"geometry") {
            own.geometry = propertyRect(xml);
        } else if (property == u"text") {
            own.text = propertyText(xml);
        } else if (depth == 0 && property == u"Left") {
            design.frame.moveLeft(propertyText(xml).toInt());
        } else if (depth == 0 && property == u"Top") {
            design.frame.moveTop(propertyText(xml).toInt());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (depth == 0)
        design.frame.setSize(own.geometry.size());
    else if (depth == 2)
        design.controls.insert(name, own);
}

}   // namespace

FormDesign ReadFormDesign(const QString &fileName)
{
    QFile file(u":/forms/"_s + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    FormDesign design;
    if (xml.readNextStartElement() && xml.name() == u"ui") {
        while (xml.readNextStartElement()) {
            if (xml.name() == u"widget")
                readWidget(xml, design, 0);
            else
                xml.skipCurrentElement();
        }
    }
    return xml.hasError() ? FormDesign {} : design;
}

}   // namespace support
