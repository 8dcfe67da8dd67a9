// A plug-in for the host's tests, built several times with other captions
// and with exports left out. Its Test* exports let a test look inside.

#include "bramblewick_plugin.h"

#include <string.h>

namespace {

char g_caption[64];
char g_signature[64];
int g_clicks = 0;
void *g_instance = nullptr;

} // namespace

extern "C" {

BW_PLUGIN_EXPORT int TestClickCount(void)
{
    return g_clicks;
}

BW_PLUGIN_EXPORT void *TestInstance(void)
{
    return g_instance;
}

// Overwrites the returned texts, as a library may once they were read.
BW_PLUGIN_EXPORT void TestScribble(void)
{
    memset(g_caption, 'x', sizeof g_caption - 1);
    memset(g_signature, 'x', sizeof g_signature - 1);
}

void InitPlugin(void *instance)
{
    g_instance = instance;
    strcpy(g_caption, BW_TEST_CAPTION);
    strcpy(g_signature, BW_TEST_SIGNATURE);
}

const char *GetPluginSignature(void)
{
    return g_signature;
}

const char *GetPluginMenuCaption(void)
{
    return g_caption;
}

#ifndef BW_TEST_NO_CLICK
void SetPluginOnClick(void)
{
    ++g_clicks;
}
#endif

} // extern "C"
