/* A controller in miniature, in C: registers or unregisters a window in its
 * own process and exits with the library's return code, so that tests see
 * the registry from another process and the header compiled as C. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "zel5/host_configuration.h"

static const int kUsage = 64;

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s register|unregister PLUGIN-ID WINDOW (hex)\n", argv[0]);
    return kUsage;
  }
  const uint32_t pluginId = (uint32_t)strtoul(argv[2], NULL, 16);
  void* window = (void*)(uintptr_t)strtoull(argv[3], NULL, 16);
  if (strcmp(argv[1], "register") == 0) {
    return Zel5RegisterPluginWindow(pluginId, window);
  }
  if (strcmp(argv[1], "unregister") == 0) {
    return Zel5UnregisterPluginWindow(pluginId, window);
  }
  fprintf(stderr, "%s: unknown action %s\n", argv[0], argv[1]);
  return kUsage;
}
