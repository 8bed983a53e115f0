// The Qt message boxes: German buttons, "Nein" as the default of every question.
#include "gui/qt_platform.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tonfex;

namespace {
struct SeenBox {
    QString title, text, defaultButton;
    QStringList buttons;
};

// Answers the next message box with `answer` (a key or a button caption) and notes its parts.
void answerNextBox(SeenBox& seen, std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (auto* b : box->buttons())
            seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        answer(box);
        if (box->isVisible()) { // the answer did not close it: fail instead of hanging
            ADD_FAILURE() << "the message box stayed open";
            box->done(0);
        }
    });
}

QPushButton* buttonNamed(QMessageBox* box, const QString& text) {
    for (auto* b : box->buttons())
        if (b->text() == text) return qobject_cast<QPushButton*>(b);
    return nullptr;
}
// Clicks the button of that caption; without one the box stays open and the test fails.
void press(QMessageBox* box, const QString& text) {
    if (QPushButton* button = buttonNamed(box, text)) button->click();
}
} // namespace

// Each question answered by a key or a button: its buttons, the default and the answer.
TEST(QtDialogs, QuestionsDefaultToNeinAndMessagesHaveOneOkButton) {
    QtDialogs dialogs;
    int drawn = 0;
    dialogs.beforeDialog = [&] { ++drawn; };
    const std::string text = "Wert für HT größer 127 eingelesen: 200 - weiter?";
    auto key = [](Qt::Key k) { return [k](QMessageBox* box) { QTest::keyClick(box, k); }; };
    auto button = [](const char* caption) {
        return [caption](QMessageBox* box) { press(box, caption); };
    };
    const QStringList yesNo{"&Ja", "&Nein"}, yesAllNo{"&Ja", "Ja, &alle", "&Nein"};
    struct Case {
        bool all;
        std::function<void(QMessageBox*)> answer;
        Answer expected;
        QStringList buttons;
    };
    for (const Case& c : {Case{false, key(Qt::Key_Return), Answer::No, yesNo},
                          Case{false, key(Qt::Key_Escape), Answer::No, yesNo},
                          Case{false, button("&Ja"), Answer::Yes, yesNo},
                          Case{true, button("Ja, &alle"), Answer::YesToAll, yesAllNo},
                          Case{true, button("&Ja"), Answer::Yes, yesAllNo},
                          Case{true, key(Qt::Key_Escape), Answer::No, yesAllNo}}) {
        SeenBox seen;
        answerNextBox(seen, c.answer);
        const Answer got = c.all ? dialogs.askAll("FEHLER", text)
                                 : (dialogs.ask("FEHLER", text) ? Answer::Yes : Answer::No);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(seen.title + "|" + seen.text, "FEHLER|" + QString::fromStdString(text));
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, "&Nein");
    }
    SeenBox seen;
    answerNextBox(seen, key(Qt::Key_Return));
    dialogs.tell("FEHLER", "Tonfex.txt ist nicht vorhanden!");
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(drawn, 7); // the window is drawn before every box
}
