#include "support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <utility>

ModalAnswerer::ModalAnswerer() {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer() {
    if (!m_seen.isEmpty() && !QTest::currentTestFailed()) {
        const SeenMessage& first = m_seen.first();
        QTest::qFail(
            qPrintable(
                QStringLiteral("unexpected message box \"%1\": %2").arg(first.title, first.text)),
            __FILE__, __LINE__);
    }
}

QVector<SeenMessage> ModalAnswerer::take() {
    return std::exchange(m_seen, {});
}

void ModalAnswerer::poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    m_seen.push_back(
        {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())});
    if (whileShown) {
        whileShown(m_seen.last());
    }
    box->done(QMessageBox::Ok);
}
