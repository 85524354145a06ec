#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

class QRubberBand;
class QWidget;

// A control the operator can pull out of its place with the left mouse button into a floating
// tool window of its own, and drop back onto one of its dock sites. While it is dockable, a left
// drag moves the control instead of reaching it; an outline shows where a release puts it.
class DockableControl : public QObject {
    Q_OBJECT
public:
    // The first site is the control's home: the place it was built in, under its parent then.
    DockableControl(QWidget* control, QList<QWidget*> sites, QString title);
    ~DockableControl() override;

    // One more place the control docks into, besides those it was made with.
    void addSite(QWidget* site) { sites_.append(site); }

    // Turning it off makes the control a fixed one again, back home.
    void setDockable(bool dockable);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool dragged(QPoint global);
    bool released(QPoint global);
    QRect outlineAt(QPoint global) const;
    QWidget* siteAt(QPoint global) const;
    void dockInto(QWidget* site);
    void floatAt(QPoint topLeft);
    void endDrag();

    QWidget* control_;
    QWidget* mouseArea_; // the widget the control's mouse events go to
    QList<QWidget*> sites_;
    QWidget* homeParent_;
    QString title_;
    QWidget* dockedIn_; // null while floating
    bool dockable_ = false;
    std::optional<QPoint> pressedAt_; // global, while the left button is down on the control
    std::unique_ptr<QRubberBand> outline_;
};
