#pragma once

#include "res/DialogTemplate.h"

constexpr int kTerminalTemplateId = 129;

constexpr int kIdClearButton = 1002;
constexpr int kIdLogView = 1004;
constexpr int kIdSettingsEdit = 1010;
constexpr int kIdSetButton = 1011;
constexpr int kIdLogFormat = 1022;

constexpr int kIdSendButton1 = 1003;
constexpr int kIdSendButton2 = 1006;
constexpr int kIdSendButton3 = 1007;
constexpr int kIdSendButton4 = 1008;
constexpr int kIdSendButton5 = 1009;

constexpr int kIdLineEdit1 = 1012;
constexpr int kIdLineEdit2 = 1013;
constexpr int kIdLineEdit3 = 1014;
constexpr int kIdLineEdit4 = 1018;
constexpr int kIdLineEdit5 = 1020;

constexpr int kIdLineFormat1 = 1015;
constexpr int kIdLineFormat2 = 1016;
constexpr int kIdLineFormat3 = 1017;
constexpr int kIdLineFormat4 = 1019;
constexpr int kIdLineFormat5 = 1021;

constexpr int kIdMbButton1 = 1023;
constexpr int kIdMbButton2 = 1024;
constexpr int kIdMbButton3 = 1025;
constexpr int kIdMbButton4 = 1026;
constexpr int kIdMbButton5 = 1028;

// The controls of one send line, top to bottom.
struct SendLineControls {
    int edit;
    int format;
    int mb;
    int send;
};
constexpr SendLineControls kSendLines[] = {
    {kIdLineEdit1, kIdLineFormat1, kIdMbButton1, kIdSendButton1},
    {kIdLineEdit2, kIdLineFormat2, kIdMbButton2, kIdSendButton2},
    {kIdLineEdit3, kIdLineFormat3, kIdMbButton3, kIdSendButton3},
    {kIdLineEdit4, kIdLineFormat4, kIdMbButton4, kIdSendButton4},
    {kIdLineEdit5, kIdLineFormat5, kIdMbButton5, kIdSendButton5},
};

// The entries of every format selector: an entry's index is the line format it names.
constexpr const char* kLineFormatEntries[] = {"Text", "Dec", "Hex"};

// The terminal window, "Viewer": five send lines, the log view, the port settings field and
// the buttons under the log, in tab order.
extern const DialogTemplate kTerminalTemplate;
