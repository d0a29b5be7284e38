#pragma once
// Answers the message boxes a widget test provokes, so that no test hangs on a modal
// dialog, and records them. A test takes the boxes it expects with take(); a box that is
// still untaken when the answerer goes fails the running test.
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <functional>

struct SeenMessage {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
};

class ModalAnswerer : public QObject {
    Q_OBJECT

public:
    ModalAnswerer();
    ~ModalAnswerer() override;

    // The boxes seen since the last take(), in order; they count as expected.
    QVector<SeenMessage> take();
    // Called while each box is still open, before it is answered.
    std::function<void(const SeenMessage&)> whileShown;

private slots:
    void poll();

private:
    QTimer m_timer;
    QVector<SeenMessage> m_seen;
};
