// The query window: search text, result list, the four queries.
#pragma once

#include <QMainWindow>
#include <memory>

namespace orvik {

class AppState;
namespace engine {
class Database;
}

class FormSearch : public QMainWindow {
    Q_OBJECT
public:
    explicit FormSearch(AppState& state, QWidget* parent = nullptr);
    ~FormSearch() override;

    void Form_Load();

    bool Busy = false;
    bool CancelFlag = false;
    std::shared_ptr<engine::Database> SearchDatabase;

private:
    AppState& m_state;
};

} // namespace orvik
