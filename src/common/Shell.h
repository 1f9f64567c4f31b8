#pragma once

class QString;

namespace kivora {

// Hands a local file, a "mailto:" address or a web address to the program the system associates
// with it. The result follows the Windows shell's codes, which the callers map to their messages:
// 0 out of resources, 2 file not found, 3 folder not found, any other failure 1 or 4 to 32,
// success above 32.
class Shell {
public:
    static constexpr int kOutOfResources = 0;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kAccessDenied = 5;
    static constexpr int kNoAssociation = 31;
    static constexpr int kOpened = 33;

    virtual ~Shell() = default;
    virtual int Open(const QString& target) = 0;
};

} // namespace kivora
