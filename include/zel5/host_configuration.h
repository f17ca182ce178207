/* The host configuration library Zel5Conf, as hosts and controllers call it.
 *
 * A controller registers its window under a plug-in id; the plug-in, inside
 * the host process, finds it through the PluginWindowService that
 * GetConfiguration gives (see host_interfaces.h). Registrations are kept per
 * user, in the runtime directory, so that they cross from the controller's
 * process to the host's; the environment variable ZEL5_RUNTIME_DIR names
 * another base directory for them (a "zel5" directory is made inside it).
 *
 * Window handles are pointer-sized opaque values; null means none. Every
 * function may be called from any thread. */
#ifndef ZEL5_HOST_CONFIGURATION_H
#define ZEL5_HOST_CONFIGURATION_H

#include "zel5/abi.h"

#if defined(_WIN32)
#if defined(ZEL5_CONF_BUILDING)
#define ZEL5_CONF_API __declspec(dllexport)
#else
#define ZEL5_CONF_API __declspec(dllimport)
#endif
#else
#define ZEL5_CONF_API __attribute__((visibility("default")))
#endif

/* Return codes. */
#define ZEL5_CONF_OK 0
/* A null window, or a null place for the result: nothing was done. */
#define ZEL5_CONF_ERROR_ARGUMENT 1
/* The runtime directory cannot be made, or what is there is not this user's
 * private directory: nothing was read or written. */
#define ZEL5_CONF_ERROR_DIRECTORY 2
/* The registration could not be written or removed, or memory ran out; the
 * registration before stays as it was. */
#define ZEL5_CONF_ERROR_IO 3
/* Unregistering a window that is not the one registered (none, or a newer
 * one): the registration stays as it is. */
#define ZEL5_CONF_ERROR_NOT_REGISTERED 4

#ifdef __cplusplus
extern "C" {
#endif

/* Sets the flag that HostModeService::GetModeFlag returns in this process.
 * Cannot fail. */
ZEL5_CONF_API void Zel5SetHostModeFlag(int32_t flag);

/* Registers window for pluginId, in place of any window registered before.
 * ZEL5_CONF_OK, ZEL5_CONF_ERROR_ARGUMENT (null window),
 * ZEL5_CONF_ERROR_DIRECTORY or ZEL5_CONF_ERROR_IO. */
ZEL5_CONF_API int Zel5RegisterPluginWindow(uint32_t pluginId, void* window);

/* Removes the registration for pluginId if it is still window; a controller
 * that has been replaced by a newer one thus leaves the newer one alone.
 * ZEL5_CONF_OK, ZEL5_CONF_ERROR_ARGUMENT (null window),
 * ZEL5_CONF_ERROR_NOT_REGISTERED, ZEL5_CONF_ERROR_DIRECTORY or
 * ZEL5_CONF_ERROR_IO. */
ZEL5_CONF_API int Zel5UnregisterPluginWindow(uint32_t pluginId, void* window);

/* Stores in *window the window registered for pluginId, the same one that
 * FindPluginWindow gives the plug-in; null when none is registered or the
 * registration is unreadable. ZEL5_CONF_OK, ZEL5_CONF_ERROR_ARGUMENT (null
 * window pointer), ZEL5_CONF_ERROR_DIRECTORY or ZEL5_CONF_ERROR_IO (out of
 * memory); on an error *window, where given, is null. */
ZEL5_CONF_API int Zel5FindPluginWindow(uint32_t pluginId, void** window);

#ifdef __cplusplus
}
#endif

#endif
