// Program entry: the real prompt service and the start-up sequence.
#include "app/startup.h"
#include "platform/huge_page_heap.h"
#include "platform/prompt_service.h"

int main(int argc, char *argv[])
{
    bw::platform::restartWithHugePageHeap(argv);
    bw::DialogPromptService prompts;
    return bw::runProgram(argc, argv, prompts);
}
