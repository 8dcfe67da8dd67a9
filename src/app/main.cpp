// Program entry: the real prompt service and the start-up sequence.
#include "app/startup.h"
#include "platform/prompt_service.h"

int main(int argc, char *argv[])
{
    bw::DialogPromptService prompts;
    return bw::runProgram(argc, argv, prompts);
}
