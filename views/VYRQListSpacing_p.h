#pragma once

// Library-internal helper of the list views; not installed.

class QListView;

// The spacing a list view puts before and after each row: the one asked for, which
// pages keep, and the one the view applies, held within its rows' room before each
// layout (VYRQItemViewImpl::rowSpacing). A spacing set through QListView::setSpacing
// since the last layout counts as asked for.
class VYRQListSpacing {
public:
    explicit VYRQListSpacing(int spacing);

    int asked(const QListView* view);
    void ask(QListView* view, int spacing);
    // Applies the asked spacing, as rows of the stored size leave room for it among the
    // rows the view's model holds now.
    void hold(QListView* view, int storedSize);

private:
    void takeUp(const QListView* view);

    int m_asked;
    int m_applied;
};
