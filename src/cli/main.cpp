// tonfex: runs one command of the window without a display.
#include "cli/cli.h"
#include "platform/platform.h"

#include <iostream>

int main(int argc, char** argv) {
    tonfex::prepareConsole();
    tonfex::watchInterrupts();
    std::vector<std::string> args(argv + 1, argv + argc);
    tonfex::Terminal terminal{std::cout, std::cin, tonfex::stdinIsTerminal(),
                              tonfex::stdoutIsTerminal()};
    int status = tonfex::runCli(args, terminal);
    std::cout.flush();
    tonfex::interruptHandled();
    return status;
}
