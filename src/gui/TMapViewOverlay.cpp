// Annotation labels and point hints over a map's 3D view.
#include "gui/TMapViewOverlay.h"

#include "analysis/Biplot.h"
#include "data/TData.h"
#include "gui/TVisMap.h"
#include "map/TMap.h"
#include "view/Annotations.h"
#include "view/PointHints.h"

#include <QEvent>
#include <QFontDatabase>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace orbelin::gui {

TMapViewOverlay::TMapViewOverlay(TVisMap* view) : QWidget(view), View_(view)
{
    setObjectName("AnnotationOverlay");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(view->rect());
    view->installEventFilter(this);
    show();
    raise();
}

TMapViewOverlay* TMapViewOverlay::Attach(TVisMap* view)
{
    if (!view)
        return nullptr;
    if (auto* overlay = view->findChild<TMapViewOverlay*>(QString(), Qt::FindDirectChildrenOnly))
        return overlay;
    return new TMapViewOverlay(view);
}

bool TMapViewOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != View_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        setGeometry(View_->rect());
        break;
    case QEvent::Paint:
        // The view's picture changed (camera or layers): place the labels again.
        update();
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::NoButton) {
            const QPoint p = mouse->position().toPoint();
            ShowHint(View_->PickPoints(TVisMap::DataPointObject, p.x(), p.y(), p.x(), p.y()),
                     View_->PickPoints(TVisMap::RayEndObject, p.x(), p.y(), p.x(), p.y()), p);
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::Leave:
        ShowPointHint({}, QPoint());
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TMapViewOverlay::ShowPointHint(const std::vector<int>& points, QPoint position)
{
    ShowHint(points, {}, position);
}

void TMapViewOverlay::ShowHint(const std::vector<int>& points, const std::vector<int>& rays, QPoint position)
{
    const auto joined = [](const TArray1S& lines) {
        QStringList texts;
        for (const std::string& line : lines)
            texts << QString::fromStdString(line);
        const QString text = texts.join('\n');
        return text.trimmed().isEmpty() ? QString() : text;
    };
    QString text;
    const map::TMap* map = (!points.empty() || !rays.empty()) && View_ && Resolve ? Resolve(*View_) : nullptr;
    if (map && map->Data && HintFields && !points.empty())
        text = joined(view::PointHintLines(*map->Data, points, HintFields()));
    if (map && map->Data && text.isEmpty() && !rays.empty())
        text = joined(analysis::RayHintLines(*map->Data, rays,
                                             map->AnnotationColumns.empty() ? TArray1I{0} : map->AnnotationColumns));
    if (text == HintText_)
        return;
    HintText_ = text;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(View_->mapToGlobal(position), text, View_);
}

void TMapViewOverlay::paintEvent(QPaintEvent*)
{
    LabelCount_ = 0;
    const map::TMap* map = View_ && Resolve ? Resolve(*View_) : nullptr;
    if (!map || map->Annotations.empty() || map->Layers.empty() || !map->Data)
        return;
    std::string error;
    const std::vector<view::TAnnotationLabel> labels =
        view::AnnotationLabels(map->Annotations, map->Layers[0].PointObject, map->Data->Visibility, View_->Camera(),
                               View_->width(), View_->height(), &error);
    // Every repaint draws the labels again; the message is told once, after the painting.
    if (error != LabelError_) {
        LabelError_ = error;
        if (!error.empty())
            QTimer::singleShot(0, this, [this, error] {
                QMessageBox::warning(window(), "Orbelin", QString::fromStdString(error));
            });
    }
    if (labels.empty())
        return;
    QPainter painter(this);
    const QColor fill = palette().color(QPalette::ToolTipBase);
    const QColor ink = palette().color(QPalette::ToolTipText);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    for (const view::TAnnotationLabel& label : labels) {
        font.setPointSize(std::clamp(label.FontSize, 1, 100));
        painter.setFont(font);
        const QString text = QString::fromStdString(label.Text);
        const QFontMetrics metrics(font);
        const int w = metrics.horizontalAdvance(text), h = metrics.height();
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(fill);
        painter.drawRect(label.X, label.Y, w + 5, h + 2);
        painter.setPen(ink);
        painter.drawText(QRect(label.X + 1, label.Y + 1, w + 4, h + 1), Qt::AlignLeft | Qt::AlignTop, text);
        ++LabelCount_;
    }
}

} // namespace orbelin::gui
