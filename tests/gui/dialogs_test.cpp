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

TEST(QtDialogs, QuestionsOfferJaAndNeinWithNeinAsDefault) {
    QtDialogs dialogs;
    SeenBox seen;
    answerNextBox(seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_FALSE(dialogs.ask("Frage zur Sicherheit", "wirklich Samplemix?"));
    EXPECT_EQ(seen.title, "Frage zur Sicherheit");
    EXPECT_EQ(seen.text, "wirklich Samplemix?");
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains("&Ja") && seen.buttons.contains("&Nein"));
    EXPECT_EQ(seen.defaultButton, "&Nein");

    SeenBox second;
    answerNextBox(second, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(dialogs.ask("FEHLER", "weiter?"));

    SeenBox third;
    answerNextBox(third, [](QMessageBox* box) { press(box, "&Ja"); });
    EXPECT_TRUE(dialogs.ask("FEHLER", "Wert für HT größer 127 eingelesen: 200 - weiter?"));
    EXPECT_EQ(third.text, "Wert für HT größer 127 eingelesen: 200 - weiter?");
}

TEST(QtDialogs, ReadQuestionsOfferJaAlleBetweenJaAndNein) {
    QtDialogs dialogs;
    const std::string text = "Wert für HT größer 127 eingelesen: 200 - weiter?";
    SeenBox seen;
    answerNextBox(seen, [](QMessageBox* box) { press(box, "Ja, &alle"); });
    EXPECT_EQ(dialogs.askAll("FEHLER", text), Answer::YesToAll);
    EXPECT_EQ(seen.text, QString::fromStdString(text));
    EXPECT_EQ(seen.buttons, (QStringList{"&Ja", "Ja, &alle", "&Nein"}));
    EXPECT_EQ(seen.defaultButton, "&Nein");

    SeenBox yes, escape;
    answerNextBox(yes, [](QMessageBox* box) { press(box, "&Ja"); });
    EXPECT_EQ(dialogs.askAll("FEHLER", text), Answer::Yes);
    answerNextBox(escape, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.askAll("FEHLER", text), Answer::No);
}

TEST(QtDialogs, MessagesHaveOneOkButtonAndShowTheWindowFirst) {
    QtDialogs dialogs;
    int drawn = 0;
    dialogs.beforeDialog = [&] { ++drawn; };
    SeenBox seen;
    answerNextBox(seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    dialogs.tell("FEHLER", "Tonfex.txt ist nicht vorhanden!");
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(seen.title, "FEHLER");
    EXPECT_EQ(drawn, 1);
}
