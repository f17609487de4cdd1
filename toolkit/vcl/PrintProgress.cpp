#include "vcl/PrintProgress.h"

#include "richtext/Printing.h"
#include "vcl/TApplication.h"
#include "vcl/Texts.h"

#include <QProgressDialog>
#include <QScopedValueRollback>

#include <algorithm>
#include <memory>

namespace {

// Up to this many pages a job is over too soon for a window to be of use.
constexpr int fewPages = 5;
// A window that would be on screen for less than a moment is not shown.
constexpr int showAfterMs = 500;

std::function<void(QProgressDialog &)> &Hook()
{
    static std::function<void(QProgressDialog &)> hook;
    return hook;
}

bool jobRunning = false;

std::unique_ptr<QProgressDialog> NewProgressWindow(int totalPages)
{
    auto window = std::make_unique<QProgressDialog>(
        VclTexts::tr("Printing..."), VclTexts::tr("Cancel"), 0, totalPages, QApplication::activeWindow());
    window->setWindowTitle(
        Application != nullptr ? Application->Title() : QGuiApplication::applicationDisplayName());
    // A window manager shortens a title wider than the window; leave it room, and the
    // title bar's buttons theirs, in a font somewhat larger and bolder than the window's.
    QFont titleFont = window->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    const int titleBarButtons = 4 * QFontMetrics(titleFont).height() * 2;
    window->setMinimumWidth(std::max(window->sizeHint().width(),
        QFontMetrics(titleFont).horizontalAdvance(window->windowTitle()) + titleBarButtons));
    // The list must not change under the job, nor another job start.
    window->setWindowModality(Qt::ApplicationModal);
    window->setMinimumDuration(showAfterMs);
    window->setAutoReset(false);
    if (Hook())
        Hook()(*window);
    return window;
}

}   // namespace

void SetPrintProgressHook(std::function<void(QProgressDialog &)> hook) { Hook() = std::move(hook); }

bool PrintShowingProgress(const QTextDocument &document, const QString &title)
{
    if (jobRunning)
        return false;
    const QScopedValueRollback<bool> busy(jobRunning, true);
    std::unique_ptr<QProgressDialog> window;
    return printing::Print(document, title, [&window](int donePages, int totalPages) {
        if (window == nullptr && totalPages > fewPages)
            window = NewProgressWindow(totalPages);
        if (window == nullptr || !window->isVisible()) {
            // Until the window stands in the way, what the user types waits for the job.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else {
            QCoreApplication::processEvents();
        }
        if (window == nullptr)
            return true;
        window->setMaximum(totalPages);
        window->setValue(donePages);
        return !window->wasCanceled();
    });
}
