#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "support/FormDesign.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"
#include "vcl/TApplication.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal scale = 2;

}   // namespace

// The main window on a screen with twice the pixel density (QT_SCALE_FACTOR=2, set
// by main below): the same layout as designed, every pixel doubled.
class HighDpiTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void window_grabsAtTwiceItsSize();
    void control_keepsLayoutAtTwiceTheSize_data();
    void control_keepsLayoutAtTwiceTheSize();
    void text_isDrawnAtTwiceTheSize();

private:
    support::WorkingDirectory directory_;
    QImage window_;
};

void HighDpiTest::initTestCase()
{
    QCOMPARE(qApp->devicePixelRatio(), scale);
    QVERIFY(directory_.isValid());
    forms_test::createFormsOnSample();
    Form1->Show();
    Form1->Button2Click();   // shows the list too
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    // A blinking caret would make two grabs differ.
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    const QPixmap grabbed = Form1->grab();
    QCOMPARE(grabbed.devicePixelRatio(), scale);
    window_ = grabbed.toImage();
}

void HighDpiTest::window_grabsAtTwiceItsSize()
{
    QCOMPARE(window_.size(), Form1->size() * scale);
    QCOMPARE(Form1->windowHandle()->devicePixelRatio(), scale);
}

void HighDpiTest::control_keepsLayoutAtTwiceTheSize_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("design");
    // Places and sizes in the window's own (logical) pixels.
    const support::FormDesign design = support::ReadFormDesign(u"Unit1.ui"_s);
    QVERIFY(!design.controls.isEmpty());
    for (auto control = design.controls.begin(); control != design.controls.end(); ++control)
        QTest::newRow(qPrintable(control.key())) << control.key() << control->geometry;
}

void HighDpiTest::control_keepsLayoutAtTwiceTheSize()
{
    QFETCH(QString, control);
    QFETCH(QRect, design);
    auto *widget = Form1->findChild<QWidget *>(control);
    QVERIFY(widget != nullptr);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->geometry(), design);

    // Where the window's picture shows the control, in device pixels, it shows what the
    // control draws by itself.
    const QRect device(widget->mapTo(Form1, QPoint(0, 0)) * scale, design.size() * scale);
    QVERIFY2(QRect(QPoint(0, 0), window_.size()).contains(device),
        qPrintable(u"window %1x%2, control at %3,%4 %5x%6"_s.arg(window_.width())
                       .arg(window_.height())
                       .arg(device.x())
                       .arg(device.y())
                       .arg(device.width())
                       .arg(device.height())));
    const QImage own = widget->grab().toImage().convertToFormat(window_.format());
    QCOMPARE(own.size(), device.size());
    // One logical pixel in from the edges: Panel1's bottom row lies over RichEdit1's top.
    const QRect inside = QRect(QPoint(0, 0), device.size()).adjusted(2, 2, -2, -2);
    QCOMPARE(window_.copy(inside.translated(device.topLeft())), own.copy(inside));
}

// Text stays as readable as at scale 1: its glyphs are twice as tall in device pixels.
void HighDpiTest::text_isDrawnAtTwiceTheSize()
{
    TButton *button = Form1->Button1;
    const QImage image = button->grab().toImage();
    // The caption's ink: the dark pixels inside the button's face.
    int top = image.height();
    int bottom = -1;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 8; x < image.width() - 8; ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    QVERIFY2(bottom >= top, "no text drawn on the button");
    const int inkHeight = bottom - top + 1;
    const int logicalHeight = QFontMetrics(button->font()).tightBoundingRect(button->text()).height();
    QVERIFY(logicalHeight > 0);
    QVERIFY2(qAbs(inkHeight - logicalHeight * scale) <= 2,
        qPrintable(u"ink %1 device pixels tall, the font's %2 logical"_s.arg(inkHeight).arg(logicalHeight)));
}

int main(int argc, char *argv[])
{
    // Before the application object exists, which reads both once. The offscreen
    // screen is 800 x 800 device pixels unless told otherwise: at scale 2 the window
    // would not fit on it, so it gets the pixels of a 2560 x 1600 laptop screen.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    // Qt splits the platform's options at colons, a Windows drive's among them: the
    // file is in the current folder and named from there.
    QTemporaryDir configuration(u"highdpi-XXXXXX"_s);
    const QString screens = configuration.filePath(u"screens.json"_s);
    QFile file(screens);
    if (!configuration.isValid() || !file.open(QIODevice::WriteOnly)
        || file.write(
               R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 2560, "height": 1600, "logicalDpi": 96}]})")
            < 0)
        return 1;
    file.close();
    const QString name = QDir::current().relativeFilePath(screens);
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(name));
    TApplication application(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
