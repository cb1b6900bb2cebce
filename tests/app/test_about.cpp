// The About box and the maker's web link on the logo pictures.
#include "support/panel_fixture.h"

#include "support/operator_actions.h"

#include "app/about.h"
#include "app/lifecycle.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <string>
#include <vector>

namespace {

// Stands in for the desktop's browser: each address it is asked to open.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }
};

}  // namespace

class MakerLinks : public MainPanelTest {
protected:
    void SetUp() override
    {
        MainPanelTest::SetUp();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        MainPanelTest::TearDown();
    }
    BrowserStandIn browser;
};

TEST_F(MakerLinks, AboutShowsTheProductUntilDismissed)
{
    std::string title, message;
    bool dismissed = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "the About box is up";
        title = box->windowTitle().toStdString();
        message = box->text().toStdString();
        dismissed = true;
        box->accept();
    });
    QAction* about = PanelMenuBarWidget(panel)->findChild<QAction*>(QStringLiteral("MENU_HELP_ABOUT"));
    ASSERT_NE(about, nullptr);
    about->trigger();
    EXPECT_TRUE(dismissed) << "About returned only once the box was dismissed";
    EXPECT_EQ(title, "About");
    const std::string first_line = message.substr(0, message.find('\n'));
    EXPECT_EQ(first_line, std::string(kMakerName) + " " + kProductName + " v" ZR_VERSION);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 2) << "three lines: " << message;
}

TEST_F(MakerLinks, EachLeftClickOnTheLogoOpensTheMakersSite)
{
    for (int i = 0; i < 3; ++i)
        click(PANEL_PICTURE_2);
    EXPECT_EQ(browser.opened, std::vector<std::string>(3, kMakerWebAddress)) << "three clicks, three windows";
}

TEST_F(MakerLinks, OtherEventsOpenNothing)
{
    QWidget* logo = widget(PANEL_PICTURE_2);
    QTest::mouseClick(logo, Qt::RightButton, Qt::NoModifier, logo->rect().center());
    QTest::mouseClick(logo, Qt::MiddleButton, Qt::NoModifier, logo->rect().center());
    CORVANE(panel, PANEL_PICTURE_2, EVENT_COMMIT, nullptr, 0, 0);
    CORVANE(panel, PANEL_PICTURE_2, EVENT_RIGHT_CLICK, nullptr, 0, 0);
    EXPECT_TRUE(browser.opened.empty());
}

TEST_F(MakerLinks, TheSplashLogosOpenTheSiteToo)
{
    const int splash = LoadPanel(0, kResourceFile, PANEL_2);
    ASSERT_GT(splash, 0);
    for (int c : {PANEL_2_PICTURE_2, PANEL_2_PICTURE_4})
        operator_click(CtrlWidget(splash, c));
    DiscardPanel(splash);
    EXPECT_EQ(browser.opened.size(), 2u);
}

TEST(WebLink, AnAddressThatCannotBeOpenedIsIgnored)
{
    EXPECT_EQ(Open_Web_Page(""), 0);
    EXPECT_EQ(Open_Web_Page("not a url"), 0);
}

#include "test_about.moc"
