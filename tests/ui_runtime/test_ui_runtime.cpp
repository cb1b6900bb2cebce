// The panel layer's promises, on a resource of its own: values in each control's
// own type, programmatic writes that never run a callback, operator actions that
// always do, the application's names, callbacks and pictures, panels that fail to
// load with a negative handle, and the panel-state file.
#include "ui_runtime/runtime_application.h"

#include "ui_files/panel_state.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        recorded_calls.clear();
        panel = LoadPanel(0, kTestResource, WINDOW);
        ASSERT_GT(panel, 0);
    }
    void TearDown() override { DiscardPanel(panel); }

    QWidget* widget(int control) { return CtrlWidget(panel, control); }
    void click(int control, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(widget(control), button, Qt::NoModifier, widget(control)->rect().center());
    }
    template <typename T>
    T value(int control)
    {
        T v{};
        EXPECT_EQ(GetCtrlVal(panel, control, &v), UI_OK);
        return v;
    }

    int panel = 0;
};

// Writes a copy of the test resource with one text replaced, and returns its path.
std::string resource_variant(QTemporaryDir& dir, const char* from, const char* to)
{
    QFile original(QStringLiteral(":/Test_Panel.uir"));
    EXPECT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    EXPECT_TRUE(text.contains(from)) << from;
    text.replace(from, to);
    const QString path = dir.filePath(QStringLiteral("variant.uir"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(text);
    return path.toStdString();
}

}  // namespace

TEST_F(Window, ValuesWrittenFromCodeRunNoCallback)
{
    SetCtrlVal(panel, WINDOW_FREQ, 12.5);
    SetCtrlVal(panel, WINDOW_COUNT, 7u);
    SetCtrlVal(panel, WINDOW_SWITCH, 0);
    SetCtrlVal(panel, WINDOW_BIT, 1);
    SetCtrlVal(panel, WINDOW_TEXT, "busy");
    SetCtrlAttribute(panel, WINDOW_GO, ATTR_DIMMED, 1);
    SetCtrlAttribute(panel, WINDOW_HIDDEN, ATTR_VISIBLE, 1);
    ProcessSystemEvents();
    EXPECT_TRUE(recorded_calls.empty());
    EXPECT_EQ(value<double>(WINDOW_FREQ), 12.5);
    EXPECT_EQ(value<unsigned>(WINDOW_COUNT), 7u);
    EXPECT_EQ(value<int>(WINDOW_SWITCH), 0);
    EXPECT_EQ(value<int>(WINDOW_BIT), 1);
}

TEST_F(Window, OperatorActionsRunTheirCallbacks)
{
    click(WINDOW_SWITCH);
    EXPECT_EQ(value<int>(WINDOW_SWITCH), 0) << "from its off position (1) to its on position (0)";
    click(WINDOW_BIT);
    EXPECT_EQ(value<int>(WINDOW_BIT), 1);
    click(WINDOW_GO);
    QTest::keyClick(widget(WINDOW_COUNT), Qt::Key_Up);
    EXPECT_EQ(value<unsigned>(WINDOW_COUNT), 4u);
    click(WINDOW_PICTURE);
    click(WINDOW_PICTURE, Qt::RightButton);
    PanelMenuBarWidget(panel)->findChild<QAction*>(QStringLiteral("BAR_FILE_COUNT"))->trigger();
    EXPECT_EQ(recorded_calls, (std::vector<RecordedCall>{{WINDOW_SWITCH, EVENT_COMMIT},
                                                          {WINDOW_BIT, EVENT_COMMIT},
                                                          {WINDOW_GO, EVENT_COMMIT},
                                                          {WINDOW_COUNT, EVENT_COMMIT},
                                                          {WINDOW_PICTURE, EVENT_LEFT_CLICK},
                                                          {WINDOW_PICTURE, EVENT_RIGHT_CLICK},
                                                          {-1, BAR_FILE_COUNT}}));
}

TEST_F(Window, PicturesArePaintedByTheApplication)
{
    auto* picture = qobject_cast<QLabel*>(widget(WINDOW_PICTURE));
    ASSERT_NE(picture, nullptr);
    const QImage image = picture->pixmap().toImage();
    EXPECT_EQ(image.size(), QSize(40, 20)) << "at the size the resource gives";
    EXPECT_EQ(image.pixel(39, 19), 0xFF336699u);
}

TEST_F(Window, EachControlIsReadInItsOwnTypeAndAWrongTypeStopsTheProgram)
{
    EXPECT_EQ(value<int>(WINDOW_SWITCH), 1);
    EXPECT_EQ(value<unsigned>(WINDOW_COUNT), 3u);
    EXPECT_EQ(value<double>(WINDOW_FREQ), 10.0);
    EXPECT_EQ(value<std::string>(WINDOW_TEXT), "idle");
    double d = 0.0;
    EXPECT_DEATH(GetCtrlVal(panel, WINDOW_COUNT, &d), "WINDOW_COUNT holds unsigned int, used as double");
    int i = 0;
    EXPECT_DEATH(GetCtrlVal(panel, WINDOW_FREQ, &i), "WINDOW_FREQ holds double, used as int");
    EXPECT_DEATH(SetCtrlVal(panel, WINDOW_TEXT, 3), "WINDOW_TEXT holds text, used as int");
}

TEST_F(Window, WritesAreConvertedDoublesHeldAsWrittenUnsignedCoerced)
{
    SetCtrlVal(panel, WINDOW_COUNT, 4294967295u);
    EXPECT_EQ(value<unsigned>(WINDOW_COUNT), 15u) << "compared as unsigned, never 0 or -1";
    SetCtrlVal(panel, WINDOW_COUNT, -1);
    EXPECT_EQ(value<unsigned>(WINDOW_COUNT), 15u) << "an int is taken as its unsigned bit pattern";
    SetCtrlVal(panel, WINDOW_FREQ, 600.0);
    EXPECT_EQ(value<double>(WINDOW_FREQ), 600.0) << "held, and marked as outside the range";
    SetCtrlVal(panel, WINDOW_FREQ, 1.0 / 0.0);
    EXPECT_EQ(value<double>(WINDOW_FREQ), 100.0) << "no infinity is held";
    SetCtrlVal(panel, WINDOW_FREQ, 7);
    EXPECT_EQ(value<double>(WINDOW_FREQ), 7.0);
    EXPECT_TRUE(recorded_calls.empty());
}

TEST_F(Window, TextMessagesAreReplacedAndTextBoxesCollectTheirLastLines)
{
    SetCtrlVal(panel, WINDOW_TEXT, "one");
    SetCtrlVal(panel, WINDOW_TEXT, "two");
    EXPECT_EQ(value<std::string>(WINDOW_TEXT), "two");
    for (const char* line : {"a\n", "b\n", "c\n", "d\n"})
        SetCtrlVal(panel, WINDOW_LOG, line);
    const std::string log = value<std::string>(WINDOW_LOG);
    EXPECT_EQ(log.find("a\n"), std::string::npos) << "the box keeps its last lines: " << log;
    EXPECT_NE(log.find("c\nd\n"), std::string::npos) << log;
}

TEST_F(Window, AttributesAreHeldAsWritten)
{
    int v = -1;
    SetCtrlAttribute(panel, WINDOW_GO, ATTR_DIMMED, 1);
    GetCtrlAttribute(panel, WINDOW_GO, ATTR_DIMMED, &v);
    EXPECT_EQ(v, 1);
    GetCtrlAttribute(panel, WINDOW_HIDDEN, ATTR_VISIBLE, &v);
    EXPECT_EQ(v, 0) << "as the resource stores it";
    SetCtrlAttribute(panel, WINDOW_HIDDEN, ATTR_VISIBLE, 1);
    GetCtrlAttribute(panel, WINDOW_HIDDEN, ATTR_VISIBLE, &v);
    EXPECT_EQ(v, 1) << "shown, even before the panel is";
    SetCtrlAttribute(panel, WINDOW_TEXT, ATTR_TEXT_COLOR, 0x660000);
    GetCtrlAttribute(panel, WINDOW_TEXT, ATTR_TEXT_COLOR, &v);
    EXPECT_EQ(v, 0x660000);
    SetPanelAttribute(panel, ATTR_HEIGHT, 260);
    GetPanelAttribute(panel, ATTR_HEIGHT, &v);
    EXPECT_EQ(v, 260);
}

TEST_F(Window, UnknownHandlesControlsAndAttributesAreRefused)
{
    int v = 0;
    EXPECT_EQ(GetCtrlVal(panel + 1000, WINDOW_SWITCH, &v), UI_ERR_BAD_HANDLE);
    EXPECT_EQ(GetCtrlVal(panel, 9999, &v), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(SetCtrlAttribute(panel, WINDOW_SWITCH, 12345, 1), UI_ERR_BAD_ATTRIBUTE);
}

TEST_F(Window, TheEventLoopRunsUntilACallbackQuits)
{
    QTimer::singleShot(0, [] { QuitUserInterface(3); });
    EXPECT_EQ(RunUserInterface(), 3);
    QuitUserInterface(4);
    EXPECT_EQ(RunUserInterface(), 4) << "a quit asked before the loop runs ends it at once";
}

// A way out that waits for nobody: the box on screen closes unanswered, no box
// shows until the event loop has ended, and the next run asks again. A box left
// open is closed by the test after a while, and counted.
TEST_F(Window, DismissedPopupsCloseUnansweredUntilTheEventLoopEnds)
{
    int left_open = 0;
    QTimer sweeper;
    sweeper.setInterval(500);
    QObject::connect(&sweeper, &QTimer::timeout, [&left_open] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++left_open;
            dialog->reject();
        }
    });
    sweeper.start();
    int asked = -1, asked_after = -1, chosen = -1;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(20, [] { DismissPopups(); });
        asked = GenericMessagePopup("Save", "Save it?", "Retry", "Elsewhere", "Give up");
        asked_after = GenericMessagePopup("Save", "Save it?", "Retry", "Elsewhere", "Give up");
        std::string path;
        chosen = FileSelectPopup(".", "x", "Where", &path);
        QuitUserInterface(0);
    });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(asked, 0) << "closed unanswered";
    EXPECT_EQ(asked_after, 0);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(left_open, 0) << "a box stayed open, or showed after the dismissal";

    int next_run = -1;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(20, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->buttons().front()->click();
        });
        next_run = GenericMessagePopup("Save", "Save it?", "Retry", nullptr, nullptr);
        QuitUserInterface(0);
    });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(next_run, 1) << "the next run's box is shown and answered";
}

// What a box asks is shown as a question; Esc answers a box that offers Cancel
// as Cancel; a file box offers the caller's kinds of file, then all files.
TEST_F(Window, QuestionsLookLikeQuestionsAndEscCancelsThem)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList kinds;
    int answer = -1, plain = -1, file = -1;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(20, [&icon] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                icon = box->icon();
                QTest::keyClick(box, Qt::Key_Escape);
                // A box that Esc does not close is answered otherwise.
                QTimer::singleShot(20, [] {
                    if (auto* left = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                        left->buttons().front()->click();
                });
            }
        });
        answer = GenericMessagePopup("Export", "Export as:", "Text", "Header", "JSON", "Cancel");
        QTimer::singleShot(20, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->buttons().front()->click();
        });
        plain = GenericMessagePopup("Saved", "Saved.", "OK", nullptr, nullptr);
        QTimer::singleShot(20, [&kinds] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                kinds = dialog->nameFilters();
                dialog->reject();
            }
        });
        std::string path;
        file = FileSelectPopup(".", "x.csv", "Where", &path, "Tables (*.csv);;Lists (*.txt)");
        QuitUserInterface(0);
    });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(answer, 0) << "Esc pressed Cancel";
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(file, 0);
    EXPECT_EQ(kinds, (QStringList{QStringLiteral("Tables (*.csv)"), QStringLiteral("Lists (*.txt)"),
                                  QStringLiteral("All files (*)")}));
}

TEST_F(Window, TheStateFileNamesTheApplicationAndRestoresEveryValue)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("window.sts")).toStdString();
    SetCtrlVal(panel, WINDOW_FREQ, 0.1 + 0.2);
    SetCtrlVal(panel, WINDOW_COUNT, 9u);
    SetCtrlVal(panel, WINDOW_SWITCH, 0);
    SetCtrlVal(panel, WINDOW_TEXT, "say \"hi\"\\");
    ASSERT_EQ(SavePanelState(panel, path.c_str(), 0), UI_OK);
    QFile saved(QString::fromStdString(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readLine().startsWith("# bench-test panel state 1"));

    const int fresh = LoadPanel(0, kTestResource, WINDOW);
    ASSERT_EQ(RecallPanelState(fresh, path.c_str(), 0), UI_OK);
    double freq = 0;
    GetCtrlVal(fresh, WINDOW_FREQ, &freq);
    EXPECT_EQ(freq, 0.1 + 0.2) << "bit for bit";
    std::string text;
    GetCtrlVal(fresh, WINDOW_TEXT, &text);
    EXPECT_EQ(text, "say \"hi\"\\");
    int mode = -1;
    GetCtrlVal(fresh, WINDOW_SWITCH, &mode);
    EXPECT_EQ(mode, 0);
    DiscardPanel(fresh);
}

TEST(LoadPanel, FailuresGiveANegativeHandle)
{
    EXPECT_EQ(LoadPanel(0, kTestResource, 99), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(LoadPanel(0, "/nonexistent/Test_Panel.uir", WINDOW), UI_ERR_RESOURCE);

    QTemporaryDir dir;
    struct Variant {
        const char* from;
        const char* to;
        int status;
    };
    for (const Variant& v : {
             Variant{"\"callback\": \"count_menu\"", "\"callback\": \"count_menus\"", UI_ERR_NO_SUCH_CALLBACK},
             Variant{"\"callback\": \"count_control\"}", "\"callback\": \"counted\"}", UI_ERR_NO_SUCH_CALLBACK},
             Variant{"\"WINDOW_GO\"", "\"WINDOW_STOP\"", UI_ERR_RESOURCE},
             Variant{"\"initial\": 3,", "\"initial\": 300,", UI_ERR_RESOURCE},
             Variant{"bench-test ui resource 1", "zr-eval ui resource 1", UI_ERR_RESOURCE},
             Variant{"\"WINDOW_HIDDEN\"", "\"WINDOW_HIDDEN", UI_ERR_RESOURCE},
         }) {
        const std::string path = resource_variant(dir, v.from, v.to);
        EXPECT_EQ(LoadPanel(0, path.c_str(), WINDOW), v.status) << v.from << " -> " << v.to;
    }
}

namespace {
std::vector<double> delays;
void record_delay(double seconds) { delays.push_back(seconds); }
}  // namespace

TEST(Delay, TestsCanReplaceTheWait)
{
    delays.clear();
    SetDelayFunction(record_delay);
    Delay(5.0);
    Delay(0.4);
    SetDelayFunction(nullptr);
    EXPECT_EQ(delays, (std::vector<double>{5.0, 0.4}));
}

TEST(Delay, TheRealWaitKeepsTimersRunning)
{
    bool fired = false;
    QTimer::singleShot(5, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    Delay(0.05);
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_TRUE(fired);
}
