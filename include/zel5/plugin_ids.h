/* Plug-in ids known to this system. */
#ifndef ZEL5_PLUGIN_IDS_H
#define ZEL5_PLUGIN_IDS_H

/* This plug-in: the id a controller registers its window under. */
#define ZEL5_PLUGIN_ID 0x40000007u
/* Another plug-in on the same host; a stream it has marked is not recorded. */
#define ZEL5_FOREIGN_MARK_PLUGIN_ID 0x4000000Au

#endif
