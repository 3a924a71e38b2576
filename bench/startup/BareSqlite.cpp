// The least a catalogue reader does: SQLite loaded, the file opened and its
// schema read.
#include <sqlite3.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    sqlite3* db = nullptr;
    sqlite3_stmt* count = nullptr;
    const bool read = sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
                      sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &count,
                                         nullptr) == SQLITE_OK &&
                      sqlite3_step(count) == SQLITE_ROW;
    sqlite3_finalize(count);
    sqlite3_close(db);
    return read ? 0 : 1;
}
