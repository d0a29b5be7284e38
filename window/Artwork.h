#pragma once
// The window's decoration, painted in code: the maker's logo for the top band and a
// picture of the Tarsel CAN interface for the step-1 panel.
#include <QPixmap>

QPixmap MakerLogo(const QSize& size);
QPixmap ProductPicture(const QSize& size);
