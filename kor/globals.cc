// The shell's global objects, defined in one place so that they are built
// before main in this order and destroyed at exit in the reverse order.
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Terminal.h"

namespace KOR {
namespace {

Kernel theKernel;
Terminal theTerminal;
InputCoder theCoder;

} // namespace

Kernel &kernel() { return theKernel; }
Terminal &terminal() { return theTerminal; }
InputCoder &coder() { return theCoder; }

} // namespace KOR
