// The panel layer's runtime: start and end, the event loop, delays, message boxes and web addresses.
#include "ui_runtime/ui_runtime.h"

#include "ui_runtime/ui_runtime_state.h"

#include <QAbstractEventDispatcher>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

using namespace ui_layer;

namespace {

// Start-up runs quietly: the one line printed when no display opens says it all.
QtMessageHandler previous_handler = nullptr;

void say_no_display(const char* why)
{
    std::fprintf(stderr, "%s: no display could be opened (%s); start it on a desktop, "
                         "or headless with xvfb-run\n", runtime().application.name.c_str(), why);
    std::fflush(stderr);
}

// Qt cannot go on without a display, and it would abort: end the program with
// the status of a failed start instead.
[[noreturn]] void no_display(const char* why)
{
    say_no_display(why);
    std::_Exit(-1);
}

void startup_message_handler(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type == QtFatalMsg)
        no_display("the display server did not answer");
}

// While the program runs, a fatal message of the toolkit, or its word that the
// display connection broke (after which it ends the process itself), is the
// display going away: let the program keep what it can, then end.
void running_message_handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg && !message.contains(QLatin1String("connection broke"))) {
        if (previous_handler)
            previous_handler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    std::fprintf(stderr, "%s: the display went away (%s)\n", runtime().application.name.c_str(),
                 qPrintable(message));
    static bool running = false;
    if (!running) {
        running = true;
        if (DisplayLostCallbackPtr callback = runtime().on_display_lost)
            callback();
    }
    std::fflush(stderr);
    std::_Exit(1);
}

// A signal only writes its number into a pipe; the event loop reads it and runs
// the program's callback, where anything may be done safely.
int signal_pipe[2] = {-1, -1};

extern "C" void on_signal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(signal_pipe[1], &number, 1);
    errno = saved;
}

void read_signals()
{
    unsigned char number = 0;
    while (::read(signal_pipe[0], &number, 1) == 1)
        if (TerminationCallbackPtr callback = runtime().on_termination)
            callback(number);
}

}  // namespace

int InstallTerminationCallback(TerminationCallbackPtr callback)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    r.on_termination = callback;
    if (signal_pipe[0] < 0) {
        if (::pipe2(signal_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
            return UI_ERR_NO_RUNTIME;
        auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, r.app.get());
        QObject::connect(notifier, &QSocketNotifier::activated, [] { read_signals(); });
        struct sigaction action {};
        action.sa_handler = on_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            sigaction(signal, &action, nullptr);
    }
    return UI_OK;
}

int InitUIRuntime(int argc, char* argv[], const UIApplication& application)
{
    Runtime& r = runtime();
    r.application = application;
    if (r.app)
        return UI_OK;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform.startsWith("xcb")) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        say_no_display("DISPLAY is not set");
        return UI_ERR_DISPLAY;
    }
    // QApplication keeps references to argc and argv for its whole life.
    static int app_argc = 0;
    static char** app_argv = nullptr;
    app_argc = argc;
    app_argv = argv;
    previous_handler = qInstallMessageHandler(startup_message_handler);
    r.app = std::make_unique<QApplication>(app_argc, app_argv);
    qInstallMessageHandler(previous_handler);
    previous_handler = qInstallMessageHandler(running_message_handler);
    QApplication::setQuitOnLastWindowClosed(false);
    watch_for_destroyed_windows();
    // QApplication takes the desktop's locale for the C library too; formatted
    // numbers must keep the point whatever the desktop language.
    std::setlocale(LC_NUMERIC, "C");
    return UI_OK;
}

void CloseUIRuntime()
{
    Runtime& r = runtime();
    r.panels.clear();
    r.menu_bars.clear();
    if (signal_pipe[0] >= 0) {
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            std::signal(signal, SIG_DFL);
        ::close(signal_pipe[0]);
        ::close(signal_pipe[1]);
        signal_pipe[0] = signal_pipe[1] = -1;
    }
    r.on_termination = nullptr;
    r.on_display_lost = nullptr;
    r.poll_timer.reset();
    r.on_poll = nullptr;
    qInstallMessageHandler(nullptr);
    r.app.reset();
}

// ---------------------------------------------------------------- event loop

int ProcessSystemEvents()
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return UI_OK;
}

int RunUserInterface()
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    if (r.quit_pending) {
        r.quit_pending = false;
        r.popups_dismissed = false;
        return r.quit_code;
    }
    QEventLoop loop;
    QEventLoop* outer = r.event_loop;
    r.event_loop = &loop;
    const int code = loop.exec();
    r.event_loop = outer;
    r.popups_dismissed = false;
    return code;
}

int QuitUserInterface(int code)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    if (r.event_loop) {
        r.event_loop->exit(code);
    } else {
        // A callback run before the loop started (during the start-up blink, say)
        // ends the loop as soon as it starts.
        r.quit_pending = true;
        r.quit_code = code;
    }
    return UI_OK;
}

void SetDelayFunction(DelayFunction function)
{
    runtime().delay = function;
}

int Delay(double seconds)
{
    Runtime& r = runtime();
    if (r.delay) {
        r.delay(seconds);
        return UI_OK;
    }
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    // Keep painting and running timers, but hold operator input until the wait is over.
    QElapsedTimer clock;
    clock.start();
    const qint64 total_ms = seconds > 0.0 ? static_cast<qint64>(seconds * 1000.0) : 0;
    for (qint64 left = total_ms; left > 0; left = total_ms - clock.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 10)));
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Input held back during the wait is dispatched only once the dispatcher wakes.
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
        d->wakeUp();
    return UI_OK;
}

int InstallDisplayLostCallback(DisplayLostCallbackPtr callback)
{
    runtime().on_display_lost = callback;
    return UI_OK;
}

int GenericMessagePopup(const char* title, const char* message, const char* button1, const char* button2,
                        const char* button3, const char* cancel)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed)
        return 0;
    const char* texts[3] = {button1, button2, button3};
    const int choices = static_cast<int>(std::count_if(texts, texts + 3, [](const char* t) { return t && *t; }));
    const bool question = choices + (cancel && *cancel ? 1 : 0) > 1;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::NoIcon, QString::fromUtf8(title ? title : ""),
                    QString::fromUtf8(message ? message : ""), QMessageBox::NoButton, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("GenericMessagePopup"));
    QAbstractButton* buttons[3] = {};
    for (int i = 0; i < 3; ++i)
        if (texts[i] && *texts[i])
            buttons[i] = box.addButton(QString::fromUtf8(texts[i]), QMessageBox::AcceptRole);
    // Esc and the window's close button answer as the cancel button does.
    if (cancel && *cancel)
        box.setEscapeButton(box.addButton(QString::fromUtf8(cancel), QMessageBox::RejectRole));
    box.exec();
    for (int i = 0; i < 3; ++i)
        if (buttons[i] && box.clickedButton() == buttons[i])
            return i + 1;
    return 0;
}

namespace {

// The kinds a file box offers: the caller's, then every file.
QStringList file_kinds(const char* kinds)
{
    QStringList filters;
    if (kinds && *kinds)
        filters = QString::fromUtf8(kinds).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    filters << QStringLiteral("All files (*)");
    return filters;
}

}  // namespace

int FileSelectPopup(const char* folder, const char* name, const char* title, std::string* path, const char* kinds)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed)
        return 0;
    QFileDialog dialog(QApplication::activeWindow(), QString::fromUtf8(title ? title : ""),
                       QString::fromUtf8(folder ? folder : ""));
    dialog.setObjectName(QStringLiteral("FileSelectPopup"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(file_kinds(kinds));
    dialog.selectFile(QString::fromUtf8(name ? name : ""));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 0;
    *path = dialog.selectedFiles().front().toStdString();
    return 1;
}

int FileOpenPopup(const char* folder, const char* title, std::string* path, const char* kinds)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed)
        return 0;
    QFileDialog dialog(QApplication::activeWindow(), QString::fromUtf8(title ? title : ""),
                       QString::fromUtf8(folder ? folder : ""));
    dialog.setObjectName(QStringLiteral("FileOpenPopup"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(file_kinds(kinds));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 0;
    *path = dialog.selectedFiles().front().toStdString();
    return 1;
}

int PromptPopup(const char* title, const char* message, std::string* text)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed)
        return 0;
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PromptPopup"));
    dialog.setWindowTitle(QString::fromUtf8(title ? title : ""));
    dialog.setLabelText(QString::fromUtf8(message ? message : ""));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setOption(QInputDialog::UsePlainTextEditForTextInput);
    dialog.setTextValue(QString::fromStdString(*text));
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    *text = dialog.textValue().toStdString();
    return 1;
}

int ListSelectPopup(const char* title, const char* message, const std::vector<std::string>& items, int* chosen)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed || items.empty())
        return 0;
    QStringList list;
    for (const std::string& item : items)
        list << QString::fromStdString(item);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("ListSelectPopup"));
    dialog.setWindowTitle(QString::fromUtf8(title ? title : ""));
    dialog.setLabelText(QString::fromUtf8(message ? message : ""));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setComboBoxItems(list);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(list.value(std::clamp(*chosen, 0, static_cast<int>(list.size()) - 1)));
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    const int index = static_cast<int>(list.indexOf(dialog.textValue()));
    if (index < 0)
        return 0;
    *chosen = index;
    return 1;
}

bool FirePollTimer()
{
    Runtime& r = runtime();
    if (!r.on_poll || QApplication::activeModalWidget() || r.dispatch_depth > 0)
        return false;
    const PollCallbackPtr poll = r.on_poll;
    ++r.dispatch_depth;
    poll();
    --r.dispatch_depth;
    return true;
}

int InstallPollCallback(double seconds, PollCallbackPtr callback)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    r.on_poll = callback;
    if (!callback) {
        r.poll_timer.reset();
        return UI_OK;
    }
    if (!r.poll_timer) {
        r.poll_timer = std::make_unique<QTimer>();
        QObject::connect(r.poll_timer.get(), &QTimer::timeout, [] { FirePollTimer(); });
    }
    r.poll_timer->start(static_cast<int>(std::clamp(seconds, 0.001, 3600.0) * 1000.0));
    return UI_OK;
}

int DismissPopups()
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    r.popups_dismissed = true;
    // Innermost first; each box's own loop ends once the callback running in it returns.
    QWidget* last = nullptr;
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (dialog == last)
            break;
        last = dialog;
        dialog->reject();
    }
    return UI_OK;
}

int ClipboardPutText(const char* text)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text ? text : ""));
    return UI_OK;
}

int ClipboardGetText(std::string* text)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    *text = QGuiApplication::clipboard()->text().toStdString();
    return UI_OK;
}

int OpenWebAddress(const char* address)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    return QDesktopServices::openUrl(QUrl(QString::fromUtf8(address ? address : ""))) ? UI_OK : UI_ERR_RESOURCE;
}

int MessagePopup(const char* title, const char* message)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    if (runtime().popups_dismissed)
        return UI_OK;
    // Lines of the message may be separated by carriage returns.
    QString text = QString::fromUtf8(message ? message : "");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title ? title : ""), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessagePopup"));
    box.exec();
    return UI_OK;
}
