#pragma once
// Shows the wait cursor on a window for as long as it lives, as the calculator does while
// it builds a step or writes the report.
#include <QWidget>

class WaitCursor {
public:
    explicit WaitCursor(QWidget* window) : m_window(window) { m_window->setCursor(Qt::WaitCursor); }
    ~WaitCursor() { m_window->unsetCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QWidget* m_window;
};
