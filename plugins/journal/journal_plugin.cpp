// A sample plug-in that appends the date and time to a journal file each time
// it is picked: $BW_JOURNAL_FILE when set, else "bramblewick-journal.txt" in
// the user's home folder.

#include "bramblewick_plugin.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

namespace {

char g_caption[64];

void journalPath(char *path, size_t size)
{
    const char *chosen = getenv("BW_JOURNAL_FILE");
    if (chosen && *chosen) {
        snprintf(path, size, "%s", chosen);
        return;
    }
    const char *home = getenv("HOME");
    snprintf(path, size, "%s/bramblewick-journal.txt", home && *home ? home : ".");
}

} // namespace

extern "C" {

void InitPlugin(void *instance)
{
    (void)instance;
    snprintf(g_caption, sizeof g_caption, "%s", "Write to &Journal");
}

const char *GetPluginSignature(void)
{
    return "Bramblewick sample: Journal";
}

const char *GetPluginMenuCaption(void)
{
    return g_caption;
}

void SetPluginOnClick(void)
{
    char path[4096];
    journalPath(path, sizeof path);
    FILE *file = fopen(path, "a");
    if (!file)
        return;
    char stamp[64];
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    fprintf(file, "%s Bramblewick was here.\n", stamp);
    fclose(file);
}

} // extern "C"
