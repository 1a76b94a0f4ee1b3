#pragma once

#include <string>

namespace effective {

/// Who watches a long query: told of every entry examined, and asked now and then
/// whether to stop (the query then throws OperationCancelled).
class EffectiveProgress {
public:
    virtual ~EffectiveProgress() = default;
    virtual void examined(const std::string& path) = 0;
    virtual bool cancelRequested() = 0;
};

} // namespace effective
