/* The records and window messages shared by the plug-in and a controller
 * application. Both records are little-endian and fixed byte for byte; a
 * controller written in C or built with another compiler uses this header
 * as it is. */
#ifndef ZEL5_CONTROL_PROTOCOL_H
#define ZEL5_CONTROL_PROTOCOL_H

#include "zel5/abi.h"
#include "zel5/wave_format.h"

/* Window messages to the controller's window (WM_USER + 211 ... + 214). */
#define MSG_QUERY_PROCESS 1235 /* sent; reply: the controller's process id */
#define MSG_ANNOUNCE                                                                  \
  1236                         /* sent; wParam host pid, lParam announcement address; \
                                  reply: the control block's address, 0 refuses */
#define MSG_BLOCK_UPDATED 1237 /* posted after every publish; lParam block address */
#define MSG_LINK_CLOSED 1238   /* posted last on a link; wParam linkId, lParam block address */

/* Values of ControlBlock.state. */
#define ZEL5_STATE_IDLE 0
#define ZEL5_STATE_RECORDING 1
#define ZEL5_STATE_PAUSED 2
#define ZEL5_STATE_STOPPED 3
#define ZEL5_STATE_FAILED 4

/* Values of ControlBlock.command. */
#define ZEL5_COMMAND_NONE 0
#define ZEL5_COMMAND_START 1
#define ZEL5_COMMAND_STOP 2
#define ZEL5_COMMAND_TOGGLE_PAUSE 3

/* Access the plug-in needs to the controller's process: VM operation, read
 * and write. */
#define ZEL5_CONTROLLER_ACCESS 56u

#define ZEL5_TEXT_FIELD 260

/* The Windows time record, in UTC. Same layout as SYSTEMTIME. */
typedef struct Zel5SystemTime {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
} Zel5SystemTime;

/* Lives in the controller's process; the plug-in mirrors it. */
typedef struct ControlBlock {
  int32_t updated; /* set to 1 by every publish */
  int32_t linkId;  /* the controller's; a change ends the link */
  int32_t state;   /* ZEL5_STATE_*; 4 from the controller ends the link */
  int32_t command; /* ZEL5_COMMAND_*; cleared by the plug-in once seen */
  uint8_t reserved16[20];
  uint8_t encoderSettings[1024]; /* first 4 bytes: providerId (int32) */
  int32_t encoderValues[3];
  char outputFile[ZEL5_TEXT_FIELD]; /* without extension; the plug-in appends it */
  char encoderName[ZEL5_TEXT_FIELD];
  uint8_t reserved1592[260];
  char libraryPath[ZEL5_TEXT_FIELD];
  uint8_t reserved2112[520];
  char errorText[ZEL5_TEXT_FIELD];
  Zel5SystemTime startTime;
  Zel5SystemTime stopTime;
  uint8_t reserved2924[4];
  uint32_t counterB;
  uint32_t counterA;
  uint8_t reserved2936[4];
} ControlBlock;

/* Offered by the plug-in with MSG_ANNOUNCE; valid only while that message is
 * being sent. */
typedef struct StreamAnnouncement {
  WAVEFORMATEX format; /* the announcing stream's own format */
  uint8_t reserved18[2];
  int32_t newStream; /* 1 when the stream had not been announced before */
  char hostPath[ZEL5_TEXT_FIELD];
  uint8_t reserved284[260];
} StreamAnnouncement;

ZEL5_STATIC_ASSERT(sizeof(Zel5SystemTime) == 16, "SYSTEMTIME is 16 bytes");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wYear) == 0, "wYear at 0");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wMonth) == 2, "wMonth at 2");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wDayOfWeek) == 4, "wDayOfWeek at 4");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wDay) == 6, "wDay at 6");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wHour) == 8, "wHour at 8");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wMinute) == 10, "wMinute at 10");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wSecond) == 12, "wSecond at 12");
ZEL5_STATIC_ASSERT(offsetof(Zel5SystemTime, wMilliseconds) == 14, "wMilliseconds at 14");

ZEL5_STATIC_ASSERT(sizeof(ControlBlock) == 2940, "ControlBlock is 2940 bytes");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, updated) == 0, "updated at 0");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, linkId) == 4, "linkId at 4");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, state) == 8, "state at 8");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, command) == 12, "command at 12");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, reserved16) == 16, "reserved at 16");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, encoderSettings) == 36, "encoderSettings at 36");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, encoderValues) == 1060, "encoderValues at 1060");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, outputFile) == 1072, "outputFile at 1072");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, encoderName) == 1332, "encoderName at 1332");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, reserved1592) == 1592, "reserved at 1592");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, libraryPath) == 1852, "libraryPath at 1852");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, reserved2112) == 2112, "reserved at 2112");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, errorText) == 2632, "errorText at 2632");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, startTime) == 2892, "startTime at 2892");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, stopTime) == 2908, "stopTime at 2908");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, reserved2924) == 2924, "reserved at 2924");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, counterB) == 2928, "counterB at 2928");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, counterA) == 2932, "counterA at 2932");
ZEL5_STATIC_ASSERT(offsetof(ControlBlock, reserved2936) == 2936, "reserved at 2936");

ZEL5_STATIC_ASSERT(sizeof(StreamAnnouncement) == 544, "StreamAnnouncement is 544 bytes");
ZEL5_STATIC_ASSERT(offsetof(StreamAnnouncement, format) == 0, "format at 0");
ZEL5_STATIC_ASSERT(offsetof(StreamAnnouncement, reserved18) == 18, "padding at 18");
ZEL5_STATIC_ASSERT(offsetof(StreamAnnouncement, newStream) == 20, "newStream at 20");
ZEL5_STATIC_ASSERT(offsetof(StreamAnnouncement, hostPath) == 24, "hostPath at 24");
ZEL5_STATIC_ASSERT(offsetof(StreamAnnouncement, reserved284) == 284, "reserved at 284");

#endif
