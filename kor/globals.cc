// The shell's global objects, defined in one place so that they are built
// before main in this order and destroyed at exit in the reverse order.
#include "kor/Context.h"
#include "kor/Display.h"
#include "kor/Parser.h"
#include "kor/Scheduler.h"
#include "kor/InputCoder.h"
#include "kor/Kernel.h"
#include "kor/Terminal.h"

namespace KOR {
namespace {

Kernel theKernel;
Terminal theTerminal;
InputCoder theCoder;
Context theMain("Main");
Context theUndo("Undo");
Parser theParser;
Scheduler theScheduler;
Display theDisplay;

} // namespace

Kernel &kernel() { return theKernel; }
Terminal &terminal() { return theTerminal; }
InputCoder &coder() { return theCoder; }
Context &main_context() { return theMain; }
Context &undo_context() { return theUndo; }
Parser &parser() { return theParser; }
Scheduler &scheduler() { return theScheduler; }
Display &display() { return theDisplay; }

} // namespace KOR
