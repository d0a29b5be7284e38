#pragma once
// Drawing text needs a QGuiApplication. The companion draws diagrams for files, not for a
// screen, so while one of these lives there is an application on the offscreen platform,
// whatever QT_QPA_PLATFORM says: the pictures depend on no display and no resolution.
#include <QGuiApplication>

#include <memory>

class OffscreenGui {
public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> m_application; // null when one exists already
};
