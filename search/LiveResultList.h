// Shows the lines of a running query in the result list as they are found.
// Every insert makes QListView lay all its rows out again (about 40 ns a row),
// so publishing at each yield of the query made a long result quadratic; the
// rows are published at most about 30 times a second, and never more often
// than keeps that layout under a fifth of the time.
#pragma once

#include <QElapsedTimer>

class QAbstractItemView;

namespace orvik {

class ResultListModel;

class LiveResultList {
public:
    LiveResultList(ResultListModel& model, QAbstractItemView& view);
    // Publishes the lines appended so far when it is time: at once while the
    // list shows none, else once the pause since the last publish has passed.
    void showWhenDue();

private:
    ResultListModel& m_model;
    QAbstractItemView& m_view;
    QElapsedTimer m_sinceShown;
    qint64 m_pauseNs = 0;
};

} // namespace orvik
