#pragma once

#include <QTreeWidget>

// Shows the host's events log: time, type and text, newest last. Entries written
// on any thread reach it queued, in the order written.
class VeEventsLogView : public QTreeWidget
{
    Q_OBJECT
public:
    explicit VeEventsLogView(QWidget* parent = nullptr);
    ~VeEventsLogView() override;

    static QString TypeText(int type);

public Q_SLOTS:
    // Adds the entries written since the last call.
    void Sync();

private:
    int m_nShown = 0;
};
