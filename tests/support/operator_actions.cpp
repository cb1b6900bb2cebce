#include "support/operator_actions.h"

#include "resource/New_Panel.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

std::deque<std::string> answers;
int answered = 0;
std::string last_text;
std::vector<std::string> last_kinds;
// The answer that cancels a box: no text a test answers with.
const std::string kCancel("\x18" "cancel");

// Looks for a modal box every few milliseconds while answers are waiting.
void answer_when_shown()
{
    QTimer::singleShot(5, [] {
        if (answers.empty())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        // A box answered before may still be closing, or show again for a moment
        // while a question of its own closes: it is answered once.
        static std::vector<QPointer<QWidget>> answered_boxes;
        std::erase_if(answered_boxes, [](const QPointer<QWidget>& w) { return w.isNull(); });
        if (modal && std::find(answered_boxes.begin(), answered_boxes.end(), modal) != answered_boxes.end()) {
            answer_when_shown();
            return;
        }
        // A box is answered once it is the active window, as an operator answers
        // it: the order of activation and answer is then the same on every run.
        static int passes_inactive = 0;
        if (modal && QApplication::activeWindow() != modal && passes_inactive < 40) {
            ++passes_inactive;
            answer_when_shown();
            return;
        }
        passes_inactive = 0;
        if (modal && answers.front() == kCancel) {
            answers.pop_front();
            ++answered;
            answered_boxes.emplace_back(modal);
            QTest::keyClick(modal, Qt::Key_Escape);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            last_text = box->text().toStdString();
            // A button's text may carry its mnemonic's "&".
            auto plain = [](QString text) { return text.remove(QLatin1Char('&')).toStdString(); };
            for (QAbstractButton* b : box->buttons())
                if (plain(b->text()) == plain(QString::fromStdString(answers.front()))) {
                    answers.pop_front();
                    ++answered;
                    answered_boxes.emplace_back(modal);
                    b->click();
                    break;
                }
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            last_text = files->windowTitle().toStdString();
            last_kinds.clear();
            for (const QString& kind : files->nameFilters())
                last_kinds.push_back(kind.toStdString());
            // selectFile leaves the name box alone while that box has the keyboard
            // focus, which it takes when the box becomes the active window: sooner
            // or later than this answer, as the machine's load has it. With the
            // focus taken off it first, the answer is written whatever the order.
            if (QWidget* focused = QApplication::focusWidget(); focused && files->isAncestorOf(focused))
                focused->clearFocus();
            files->selectFile(QString::fromStdString(answers.front()));
            answers.pop_front();
            ++answered;
            answered_boxes.emplace_back(modal);
            // Queued: the box's own question (replace the file?) must find the answers armed.
            QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        } else if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
            last_text = prompt->textValue().toStdString();
            prompt->setTextValue(QString::fromStdString(answers.front()));
            answers.pop_front();
            ++answered;
            answered_boxes.emplace_back(modal);
            QMetaObject::invokeMethod(prompt, "accept");
        }
        answer_when_shown();
    });
}

}  // namespace

void answer_next_popup(const std::string& answer)
{
    const bool idle = answers.empty();
    answers.push_back(answer);
    if (idle)
        answer_when_shown();
}

void cancel_next_popup()
{
    answer_next_popup(kCancel);
}

std::vector<std::string> last_file_kinds()
{
    return last_kinds;
}

int popups_answered()
{
    return answered;
}

std::string last_popup_text()
{
    return last_text;
}

void operator_choose(QWidget* menu_bar, const std::string& item)
{
    if (!menu_bar)
        return;
    if (QAction* a = menu_bar->findChild<QAction*>(QString::fromStdString(item)))
        a->trigger();
}

void operator_click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void operator_type(QWidget* field, const std::string& typed, bool leave)
{
    auto* spin = qobject_cast<QAbstractSpinBox*>(field);
    QLineEdit* edit = spin ? spin->findChild<QLineEdit*>() : nullptr;
    if (!edit)
        return;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(typed));
    if (leave) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(spin, &out);
    } else {
        QTest::keyClick(spin, Qt::Key_Return);
    }
}

std::string control_name(int control)
{
    const std::string_view name = constant_name(ConstantGroup::MainControls, control);
    return name.empty() ? "control " + std::to_string(control) : std::string(name);
}

int control_named(const std::string& name)
{
    return find_constant(ConstantGroup::MainControls, name);
}
