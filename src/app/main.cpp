// Program entry: the options answered without a window, then the real prompt
// service and the start-up sequence.
#include "app/command_line.h"
#include "app/startup.h"
#include "platform/prompt_service.h"

#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (const std::optional<int> status = bw::answerCommandLine(arguments, out, err))
            return *status;
    }
    bw::DialogPromptService prompts;
    return bw::runProgram(argc, argv, prompts);
}
