#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace SPSTest {

// Answers every message box that comes up while it lives, so that none blocks a
// test, and records what each one showed. A box is answered with its OK button,
// or its first button when it has no OK.
class MessageBoxAnswerer : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons standardButtons;
        QStringList buttonTexts;
        bool hasDefault = false;
        QWidget* parent = nullptr;
    };

    MessageBoxAnswerer()
    {
        connect(&m_Timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            // A box without buttons is still being built.
            if (!box || box->buttons().isEmpty())
                return;
            Box seen;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.standardButtons = box->standardButtons();
            for (QAbstractButton* b : box->buttons())
                seen.buttonTexts << b->text();
            seen.hasDefault = box->defaultButton() != nullptr;
            seen.parent = box->parentWidget();
            boxes << seen;
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            (ok ? ok : box->buttons().constFirst())->click();
        });
        m_Timer.start(5);
    }

    // Title and text of each box, in the order they came up.
    QList<QStringList> TitlesAndTexts() const
    {
        QList<QStringList> seen;
        for (const Box& b : boxes)
            seen << QStringList{b.title, b.text};
        return seen;
    }

    QList<Box> boxes;

private:
    QTimer m_Timer;
};

} // namespace SPSTest
