#pragma once

#include <QtGlobal>

// Long file work reports how far it has come now and then, in units of its own choosing
// (rows, bytes). The window answers by keeping itself painted and taking readings; headless
// callers pass nothing.
class FileProgress {
public:
    virtual ~FileProgress() = default;
    virtual void advance(qint64 done, qint64 total) = 0;
};

inline void report(FileProgress* progress, qint64 done, qint64 total) {
    if (progress)
        progress->advance(done, total);
}
