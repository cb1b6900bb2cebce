// A signal that ends the program while its save fails (a file-size limit): no
// box waits for an answer nobody will give, the reason goes to the standard
// error, and the state on disk stays the last good one. Also when the signal
// comes while QUIT's own failed save is asking what to do.
#include "support/startup_fixture.h"

#include "support/operator_actions.h"

#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const std::string kSaved = "# zr-eval panel state 1\nPANEL_M_REG = 300\n";
const std::string kWhy = "zr-eval: the panel could not be saved to panel.sts: it cannot be written: File too large\n";

// The standard error of one run, through a pipe: a file would be held to the
// run's file-size limit too.
class StandardError {
public:
    StandardError()
    {
        if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0)
            return;
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(pipe_[1], STDERR_FILENO);
    }
    ~StandardError() { text(); }
    StandardError(const StandardError&) = delete;
    StandardError& operator=(const StandardError&) = delete;

    // Gives the standard error back and says what was written to it.
    std::string text()
    {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
            saved_ = -1;
            ::close(pipe_[1]);
            char chunk[4096];
            for (ssize_t n; (n = ::read(pipe_[0], chunk, sizeof chunk)) > 0;)
                text_.append(chunk, static_cast<std::size_t>(n));
            ::close(pipe_[0]);
        }
        return text_;
    }

private:
    int pipe_[2] = {-1, -1};
    int saved_ = -1;
    std::string text_;
};

// Watches for modal boxes while the program runs: their texts, and whether one
// was still open after two seconds (it is then closed, so that the test ends).
class BoxWatch {
public:
    explicit BoxWatch(bool signal_at_first_box) : signal_at_first_box_(signal_at_first_box)
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    }
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }

    std::vector<std::string> texts;
    bool left_open = false;

private:
    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            open_for_ = 0;
            return;
        }
        if (open_for_++ == 0) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            texts.push_back(box ? box->text().toStdString() : modal->objectName().toStdString());
            if (signal_at_first_box_ && texts.size() == 1)
                std::raise(SIGTERM);
        }
        if (open_for_ > 200) {
            left_open = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        }
    }

    QTimer timer_;
    bool signal_at_first_box_;
    int open_for_ = 0;
};

// A file-size limit for the rest of the run; lifted once the run is over, and at
// the latest when the test ends.
class FileSizeLimit {
public:
    FileSizeLimit() { getrlimit(RLIMIT_FSIZE, &old_); }
    ~FileSizeLimit() { lift(); }
    void lift() { setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    void impose(rlim_t bytes)
    {
        rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }

private:
    rlimit old_{};
};

}  // namespace

using SignalWhileSaveFails = Startup;

TEST_F(SignalWhileSaveFails, TheProgramEndsWithoutABoxAndSaysWhyOnStandardError)
{
    write_state(kSaved);
    const int answered = popups_answered();
    BoxWatch boxes(false);
    FileSizeLimit limit;
    click_quit = false;
    operator_actions = [&] {
        SetCtrlVal(MainPanelHandle, PANEL_M_REG, 12u);
        boxes.start();
        limit.impose(100);
        std::raise(SIGTERM);
    };
    StandardError err;
    const int status = start();
    limit.lift();
    boxes.stop();
    ASSERT_EQ(status, 0);
    const std::string said = err.text();
    EXPECT_TRUE(boxes.texts.empty()) << "a box was shown: " << boxes.texts.front();
    EXPECT_EQ(popups_answered(), answered);
    EXPECT_NE(said.find(kWhy), std::string::npos) << said;
    EXPECT_EQ(file_text("panel.sts"), kSaved) << "the last good state stays";
}

TEST_F(SignalWhileSaveFails, ASignalWhileQuitAsksAboutItsFailedSaveEndsTheProgram)
{
    // QUIT's save fails and asks; a logout's SIGTERM comes before anybody answers.
    write_state(kSaved);
    const int answered = popups_answered();
    BoxWatch boxes(true);
    FileSizeLimit limit;
    operator_actions = [&] {
        SetCtrlVal(MainPanelHandle, PANEL_M_REG, 12u);
        boxes.start();
        limit.impose(100);
    };
    StandardError err;
    const int status = start();
    limit.lift();
    boxes.stop();
    ASSERT_EQ(status, 0);
    const std::string said = err.text();
    ASSERT_EQ(boxes.texts.size(), 1u) << "QUIT asks, and nothing asks after the signal";
    EXPECT_NE(boxes.texts[0].find("The panel could not be saved to panel.sts"), std::string::npos) << boxes.texts[0];
    EXPECT_FALSE(boxes.left_open) << "the question stayed open after the signal, waiting for nobody";
    EXPECT_EQ(popups_answered(), answered);
    EXPECT_NE(said.find(kWhy), std::string::npos) << said;
    EXPECT_EQ(file_text("panel.sts"), kSaved);
}
