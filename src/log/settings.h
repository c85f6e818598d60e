// The values the program keeps between runs in its settings file: window
// geometry, conversion switches, station data. Plain data read by every floor;
// the settings file itself is read at start and written at exit.
#pragma once
#include <array>
#include <cstdint>
#include <string>

struct Settings {
  // Main window geometry (twips).
  float frmLeft = 0, frmTop = 0, frmHeight = 0, frmWidth = 0;
  // Summary window geometry (twips).
  std::int32_t ViewLeft = 0, ViewTop = 0, ViewHeight = 0, ViewWidth = 0;
  std::array<std::int32_t, 13> GridWidth{};
  // HAMLOG conversion.
  std::int16_t ThCty2JaSw = 0, ThQslMsgSw = 0, ThRmkSw = 0, ThSendSw = 0, ThRcvdSw = 0,
               ThQslSw = 0, ThRptSw = 0, ThRptSw2 = 0, ThUtcSw = 0;
  std::string ThDbFile;
  std::string ThSentMark, ThRcvdMark, ThQslMsg, ThRemark, ThRemark2;
  std::int16_t ThRmk2Rpt = 0, ThRRptCount = 0;
  // ADIF conversion.
  std::int16_t AdiCty2JaSw = 0, AdiSendSw = 0, AdiRcvdSw = 0;
  std::string AdiQslMsg, AdiRemark;
  // Station and entry data.
  std::string JarlCallSign, JarlName, JarlLicenseClass, JarlTelNo;
  std::string JarlAddress;  // multi-line
  std::string JarlEmail, JarlClubName, JarlClubNo, JarlContest, JarlCategory, JarlCateCode,
      JarlOperator;
  std::int16_t CateMode = 0, CateBand = 0, CateMlt = 0;
  std::string JarlOpsAndClass;  // one line per operator, joined by CR LF
  std::string JarlUnyoChi;
  std::string JarlSetsubi;  // multi-line
  std::string JarlPower;
  std::int16_t JarlPowerType = 0, JarlFdKeisu = 0;
  std::string JarlPsType;
  std::string JarlOath, JarlDqpOath, JarlNypOath;  // multi-line
  std::string JarlComment;                         // multi-line
  std::string CfgFileName;
  std::string LogFileName;
  std::array<std::string, 16> JarlPwCode;
  std::string JarlPrf, JarlJcc, JarlAge, JarlTestName;
  std::int16_t RealTime = 0;
  std::int16_t MailAndMe = 0;
  std::int16_t CabSrstPos = 0, CabSRptPos = 0, CabHCallPos = 0, CabRrstPos = 0, CabRRptPos = 0,
               CabCallLen = 0, CabRptLen = 0;
  std::string CbrFolder;
  std::string ZlogFolder;
  // Rig control; a file written before these keys reads as no rig.
  std::int16_t RigOn = 0;      // 1: the entry window follows the radio
  std::int32_t RigModel = 0;   // the rig library's model number; 2 is a rigctld server
  std::string RigPort;         // the radio's serial or USB device
  std::int32_t RigSpeed = 0;   // serial speed; 0 the model's own
  std::string RigctldAddress;  // host:port of the rigctld server (model 2)
  std::string RigDigiMode;     // the mode box text of the radio's packet modes
  // Call history: more logs to read than those in the program folder's Log
  // (one path a line), a text file of CALL,EXCHANGE lines, and whether the
  // entry window fills the received number from the history (1).
  std::string HistoryLogs;  // multi-line
  std::string HistoryFile;
  std::int16_t HistoryFill = 0;
};

// The three default oath texts (three lines joined by CR LF).
extern const char* const kDefaultOath;
extern const char* const kDefaultDqpOath;
extern const char* const kDefaultNypOath;
