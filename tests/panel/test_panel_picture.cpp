// Writes a picture of the main panel as the operator first sees it, for review:
// build/main_panel.png.
#include "panel_fixture.h"

#include "model/calculator.h"
#include "panel/ui_runtime.h"
#include "panel/ui_runtime_qt.h"

#include <QPixmap>
#include <QWidget>

TEST_F(MainPanelTest, PictureOfTheMainPanelIsWritten)
{
    calculate_freq_from_regs(kModeRecompute);
    SetPanelAttribute(panel, ATTR_HEIGHT, 805);
    SetCtrlVal(panel, PANEL_Status, "Checking for FTDI devices...\nThere are no FTDI devices installed.\n");
    SetCtrlAttribute(panel, PANEL_TEXTMSG_41, ATTR_VISIBLE, 1);
    SetCtrlAttribute(panel, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, 0x660000);
    DisplayPanel(panel);
    ProcessSystemEvents();

    const QString path = QStringLiteral(ZR_PICTURE_DIR "/main_panel.png");
    const QPixmap picture = PanelWindow(panel)->grab();
    EXPECT_EQ(picture.width(), 803);
    EXPECT_EQ(picture.height(), 805);
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
}
