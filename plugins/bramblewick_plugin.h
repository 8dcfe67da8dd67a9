#pragma once
// The interface between Bramblewick and a plug-in library.
//
// A plug-in is a shared library whose file name ends in ".plg", placed in the
// program's folder or in its plug-in folder (<prefix>/lib/bramblewick). At
// start the program loads every such library, calls InitPlugin, then
// GetPluginSignature and GetPluginMenuCaption (it copies both texts at once,
// so their storage may be reused afterwards), and lists the plug-in in
// Tools > Plug-ins with the library's image. Picking the item calls
// SetPluginOnClick. Every call comes from the user-interface thread. The
// libraries stay loaded until the program's main window is destroyed.
//
// The image is a 16 x 16 BMP file kept in the library as the data export
// MAINBITMAP (its bytes) with MAINBITMAP_size (their count); magenta
// (#FF00FF) pixels are drawn transparent. A library that cannot be loaded,
// lacks one of these exports or has no readable image is skipped, and the
// reason is written to standard error.
//
// Functions must not let a C++ exception escape: the program calls them
// through a C interface.

#include <stdint.h>

#if defined(__GNUC__)
#define BW_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define BW_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// instance: the program's module handle (what dlopen(NULL, ...) returns).
BW_PLUGIN_EXPORT void InitPlugin(void *instance);
// Zero-terminated UTF-8 texts. The caption may hold '&' before the letter
// that picks the item from the keyboard.
BW_PLUGIN_EXPORT const char *GetPluginSignature(void);
BW_PLUGIN_EXPORT const char *GetPluginMenuCaption(void);
// Called each time the user picks the plug-in's menu item.
BW_PLUGIN_EXPORT void SetPluginOnClick(void);

BW_PLUGIN_EXPORT extern const unsigned char MAINBITMAP[];
BW_PLUGIN_EXPORT extern const uint32_t MAINBITMAP_size;

#ifdef __cplusplus
}
#endif
