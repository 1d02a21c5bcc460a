#include "vclHelp.h"

#include "platform/os/Program.h"

namespace vclHelp {

QString exeFileName() {
    return os::programFile();
}

QString exeDir() {
    return os::programDir();
}

}  // namespace vclHelp
