#include "window/PropertiesDock.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMainWindow>
#include <QTimer>
#include <QVBoxLayout>

PropertiesDock::PropertiesDock(QMainWindow* window) : QDockWidget("Properties", window) {
    setObjectName("dockProperties");
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    body_ = new QWidget(this);
    layout_ = new QVBoxLayout(body_);
    layout_->setContentsMargins(4, 4, 4, 4);
    layout_->addStretch();
    setWidget(body_);
    window->addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
}

bool PropertiesDock::Holds(const QDialog* dialog) const {
    return dialog && dialog->parentWidget() == body_;
}

void PropertiesDock::Present(QDialog* dialog) {
    if (!Holds(dialog)) {
        dialog->setParent(body_, Qt::Widget);
        layout_->insertWidget(layout_->count() - 1, dialog);
        dialog->installEventFilter(this);
    }
    setWindowTitle(dialog->windowTitle());
    const bool opening = isHidden();
    dialog->show();
    show();
    // As narrow as the dialog allows, so the page keeps the room; a width the user gave
    // it stays while it is open.
    auto* window = qobject_cast<QMainWindow*>(parentWidget());
    if (opening && window && !isFloating())
        window->resizeDocks({this}, {body_->minimumSizeHint().width()}, Qt::Horizontal);
}

bool PropertiesDock::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, [this] { FollowDialogs(); });
    else if (event->type() == QEvent::WindowTitleChange)
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isVisibleTo(body_))
            setWindowTitle(dialog->windowTitle());
    return QDockWidget::eventFilter(watched, event);
}

void PropertiesDock::FollowDialogs() {
    for (QDialog* d : body_->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (d->isVisibleTo(body_)) return;
    hide();
}

void PropertiesDock::closeEvent(QCloseEvent* event) {
    // A dialog closed by the dock's own close box ends as if closed itself.
    for (QDialog* d : body_->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (d->isVisibleTo(body_)) d->close();
    QDockWidget::closeEvent(event);
}
