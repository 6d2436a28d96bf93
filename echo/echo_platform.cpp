#include "echo/echo_platform.h"

namespace quillbin {

namespace {

class Never final : public StopSignal {
public:
    bool StopRequested() const override { return false; }
};

class Dropped final : public EchoDiagnostics {
public:
    void WriteStdout(std::string_view /*text*/) override {}
    void WriteStderr(std::string_view /*text*/) override {}
};

}  // namespace

const StopSignal& NeverStop() {
    static const Never never;
    return never;
}

EchoDiagnostics& DroppedDiagnostics() {
    // Holds nothing, so threads may share it.
    static Dropped dropped;
    return dropped;
}

}  // namespace quillbin
