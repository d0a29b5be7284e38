#include "ui/ReadableControls.h"

#include "ui/FixedColours.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QStyleOption>

#include <initializer_list>

namespace {

// A little above the 3:1 that non-text contrast asks for, so that a frame drawn between two
// pixels keeps it.
constexpr double kFrameContrast = 3.5;

// `colour` moved toward black or white in twentieths, whichever stands out from the first
// background, until it stands out by kFrameContrast from each of `backgrounds`; at worst
// black or white itself.
QColor StandOut(const QColor& colour, std::initializer_list<QColor> backgrounds) {
    const QColor first = *backgrounds.begin();
    const QColor end = ContrastRatio(first, Qt::black) >= ContrastRatio(first, Qt::white)
                           ? QColor(Qt::black)
                           : QColor(Qt::white);
    const auto enough = [backgrounds](const QColor& candidate) {
        for (const QColor& background : backgrounds) {
            if (ContrastRatio(candidate, background) < kFrameContrast) {
                return false;
            }
        }
        return true;
    };
    for (int step = 0; step <= 20; ++step) {
        const float t = static_cast<float>(step) / 20.0F;
        const QColor mixed =
            QColor::fromRgbF(colour.redF() + (end.redF() - colour.redF()) * t,
                             colour.greenF() + (end.greenF() - colour.greenF()) * t,
                             colour.blueF() + (end.blueF() - colour.blueF()) * t);
        if (enough(mixed)) {
            return mixed;
        }
    }
    return end;
}

bool KeyboardFocus(const QStyleOption& option) {
    return (option.state & QStyle::State_HasFocus) &&
           (option.state & QStyle::State_KeyboardFocusChange);
}

} // namespace

QColor ControlFrameColour(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    return StandOut(window.darker(140), {window, palette.color(QPalette::Base)});
}

QColor FocusFrameColour(const QPalette& palette, const QColor& background) {
    return StandOut(palette.color(QPalette::Highlight), {background});
}

ReadableControlsStyle::ReadableControlsStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void ReadableControlsStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                          QPainter* painter, const QWidget* widget) const {
    const QPalette& palette = option->palette;
    switch (element) {
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton: {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Fusion's frame again, in a colour that stands out; the focus as Fusion shows it,
        // in the frame's colour.
        const QColor window = palette.color(QPalette::Window);
        const QColor base = palette.color(QPalette::Base);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(KeyboardFocus(*option)
                            ? StandOut(palette.color(QPalette::Highlight), {window, base})
                            : ControlFrameColour(palette));
        const QRect& r = option->rect;
        if (element == PE_IndicatorCheckBox) {
            painter->translate(0.5, 0.5);
            painter->drawRect(QRectF(r).adjusted(0, 0, -1, -1));
        } else {
            const qreal radius = (r.width() + (r.width() + 1) % 2) / 2.0 - 1;
            painter->drawEllipse(QPointF(r.center()) + QPointF(1, 1), radius, radius);
        }
        painter->restore();
        return;
    }
    case PE_FrameFocusRect: {
        // As Fusion: only once the keyboard has moved the focus.
        if (!(option->state & State_KeyboardFocusChange)) {
            return;
        }
        const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
        const QColor background = focus != nullptr && focus->backgroundColor.isValid()
                                      ? focus->backgroundColor
                                      : palette.color(QPalette::Window);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->translate(0.5, 0.5);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(FocusFrameColour(palette, background));
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0, 0, -1, -1), 1, 1);
        painter->restore();
        return;
    }
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void UseReadableControls() {
    if (dynamic_cast<ReadableControlsStyle*>(QApplication::style()) != nullptr) {
        return;
    }
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0) {
        QApplication::setStyle(new ReadableControlsStyle);
    }
}
