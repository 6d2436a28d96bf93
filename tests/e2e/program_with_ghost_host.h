// What nearly every end-to-end test starts from: the demo ghost host, the
// program beside it, and the driver of the program's dialog. A test takes
// the three apart: auto& [host, program, dialog] = e2e;
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/support/ghost_host_fixture.h"

namespace quillbin::win::e2e {

struct ProgramWithGhostHost {
    // The host starts at once, with `hostArguments`; the program at Start.
    explicit ProgramWithGhostHost(const std::vector<std::string>& hostArguments = {}, ProgramOptions options = {})
        : host(hostArguments), program(std::move(options)) {}

    // True once the host is ready and the program's dialog shows; when
    // false, error() says which of them failed and why.
    bool Start() {
        if (!host.ready() || !program.Start()) return false;
        dialog = DialogDriver(program.Dialog());
        return true;
    }
    std::string error() const {
        return host.ready() ? "the program: " + program.error() : "the ghost host: " + host.error();
    }

    GhostHostProcess host;
    QuillbinProcess program;
    DialogDriver dialog;
};

}  // namespace quillbin::win::e2e
