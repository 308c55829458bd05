#include "platform/qt/WindowLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt/AppIcon.h"
#include "platform/qt/QtText.h"

namespace vx::qt {
namespace {

struct Caption {
    QString text;
    QSize room;  // where the text is drawn; a text box's text scrolls, so only its height counts
};

constexpr int kUnbounded = QWIDGETSIZE_MAX;
constexpr double kLargestPointSize = 8.0;
constexpr double kSmallestPointSize = 6.0;
constexpr double kPointStep = 0.5;

QSize Room(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.autoDefault() || button.isDefault()) {
        option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).size();
}

QSize Room(const QLineEdit& edit) {
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    const QRect contents = edit.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &edit)
                               .marginsRemoved(edit.textMargins());
    // QLineEdit keeps one pixel free above and below its text.
    constexpr int kVerticalMargin = 1;
    return {kUnbounded, contents.height() - 2 * kVerticalMargin};
}

std::vector<Caption> CaptionsOf(const QWidget& window) {
    std::vector<Caption> captions;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        captions.push_back({label->text(), label->contentsRect().size()});
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        captions.push_back({button->text(), Room(*button)});
    }
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        captions.push_back({edit->text(), Room(*edit)});
    }
    return captions;
}

bool AllFit(const QFont& font, const QWidget& window, const std::vector<Caption>& captions) {
    const QFontMetrics metrics(font, &window);
    for (const Caption& caption : captions) {
        if (metrics.height() > caption.room.height() ||
            metrics.horizontalAdvance(caption.text) > caption.room.width()) {
            return false;
        }
    }
    return true;
}

// Fixes the window's client area, which is all QWidget's size covers.
void FixClientSize(QWidget& window, layout::Size size, int dpi) {
    window.setFixedSize(layout::TwipsToPixels(size.width, dpi),
                        layout::TwipsToPixels(size.height, dpi));
}

}  // namespace

int LogicalDpi(const QWidget& widget) {
    return static_cast<int>(std::lround(widget.screen()->logicalDotsPerInch()));
}

void SetUpWindow(QWidget& window, std::string_view caption, layout::Size clientSize, int dpi) {
    window.setWindowTitle(ToQString(caption));
    window.setWindowIcon(AppIcon());
    FixClientSize(window, clientSize, dpi);
}

void SetUpGrowingWindow(QWidget& window, std::string_view caption, layout::Size clientSize,
                        int dpi) {
    SetUpWindow(window, caption, clientSize, dpi);
    window.setMaximumSize(kUnbounded, kUnbounded);
}

void FollowWindowSize(QWidget& window, std::span<const layout::Control> controls,
                      layout::Size clientSize, layout::Growth (*growthOf)(const layout::Control&),
                      int dpi) {
    const layout::Size extra{
        std::max(0, window.width() - layout::TwipsToPixels(clientSize.width, dpi)),
        std::max(0, window.height() - layout::TwipsToPixels(clientSize.height, dpi))};
    for (const layout::Control& control : controls) {
        if (auto* widget = window.findChild<QWidget*>(ToQString(control.name))) {
            const layout::Rect rect = layout::PlaceGrown(control, growthOf(control), dpi, extra);
            widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
        }
    }
}

void Place(QWidget& control, const layout::Control& where, int dpi) {
    control.setGeometry(
        layout::TwipsToPixels(where.left, dpi), layout::TwipsToPixels(where.top, dpi),
        layout::TwipsToPixels(where.width, dpi), layout::TwipsToPixels(where.height, dpi));
}

void FitCaptionFont(QWidget& window) {
    const std::vector<Caption> captions = CaptionsOf(window);
    QFont font = window.font();
    double pointSize = kLargestPointSize;
    for (; pointSize > kSmallestPointSize; pointSize -= kPointStep) {
        font.setPointSizeF(pointSize);
        if (AllFit(font, window, captions)) {
            break;
        }
    }
    font.setPointSizeF(pointSize);
    window.setFont(font);
}

void SetTabOrder(QWidget& window, std::span<const layout::Control> order) {
    QWidget* previous = nullptr;
    for (const layout::Control& control : order) {
        auto* widget = window.findChild<QWidget*>(ToQString(control.name));
        if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

}  // namespace vx::qt
