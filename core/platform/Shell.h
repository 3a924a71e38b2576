// Opening a file with its default application. Results keep the numbering of
// the launch messages: 2 file not found, 3 path not found, 5 access denied,
// 31 no association, 33 and above success.
#pragma once

#include <QString>

namespace orvik {

namespace shellresult {
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int NoAssociation = 31;
constexpr int Success = 42;
} // namespace shellresult

class Shell {
public:
    virtual ~Shell() = default;
    // `file` and `directory` may be stored upper-case paths; they are matched
    // to the real names without regard to case.
    virtual int open(const QString& file, const QString& directory) = 0;
};

} // namespace orvik
