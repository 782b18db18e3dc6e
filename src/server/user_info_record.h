// The user information record: 1902 bytes, packed, little-endian, filled by
// the client library's user loads. kUserInfoFields is the one field table
// that both long reports and rfsim's server-file parser use; rows are in
// report order (rows 1-3, the IDs and name, come before rows 4-5, whose
// offsets are lower; from row 6 on the order is that of the offsets).
//
//   offset   what                         offset   what
//   ------   ---------------------------  ------   --------------------------
//      0-3   (the library's)               602-623 (the library's)
//        4   usNumFaxesOwned u16           624-1229 rows 27..50
//        6   groupid text[22]             1230-1277 (the library's)
//       28   userflags u32                1278-1333 rows 51..66
//       32   userid text[22]              1292     aucRPO_AcctCode u8[8]
//       54   username text[42]            1334     sid, bytes to the record's
//   96-570   rows 6..22                            end (568 at most)
//  571-581   (the library's)
//  582-601   rows 23..26
#ifndef TARVEK_SERVER_USER_INFO_RECORD_H_
#define TARVEK_SERVER_USER_INFO_RECORD_H_

#include <stddef.h>
#include <stdint.h>

#include <string_view>

namespace tarvek {

constexpr size_t kUserInfoSize = 1902;

/// How a field is stored and rendered. Long report / CSV cell:
///   Text      "%s"             / "\"%s\","
///   U8, U16   "%u"             / "%u,"
///   Hex16     "%04X"           / "%04X,"
///   I16       "%d"             / "%d,"
///   U32       "%lu"            / "%lu,"
///   Hex32     "%08lX"          / "%08lX,"
///   ChangeTag "%lu" + UTC date / "%lu,"
///   AcctCode  "%u" of the first of 8 bytes, in both
///   Sid       hex byte pairs up to the first zero byte or the record's end
enum class FieldType : uint8_t {
  Text,
  U8,
  U16,
  Hex16,
  I16,
  U32,
  Hex32,
  ChangeTag,
  AcctCode,
  Sid,
};

struct FieldRow {
  const char* name;  ///< field name; the CSV column name
  const char* key;   ///< long-report key
  uint16_t offset;
  FieldType type;
  uint16_t room;  ///< bytes the field may occupy
};

inline constexpr FieldRow kUserInfoFields[] = {
    {"groupid", "GroupID", 6, FieldType::Text, 22},
    {"userid", "UserID", 32, FieldType::Text, 22},
    {"username", "UserName", 54, FieldType::Text, 42},
    {"usNumFaxesOwned", "NumFaxesOwned", 4, FieldType::U16, 2},
    {"userflags", "UserFlags", 28, FieldType::Hex32, 4},
    {"userdidnumber", "UserDID", 96, FieldType::U32, 4},
    {"fcsmodelname", "FcsModelName", 100, FieldType::Text, 14},
    {"notify_type", "NotifyType", 114, FieldType::U16, 2},
    {"st_didnum", "StDID", 116, FieldType::Text, 32},
    {"st_genfaxnum", "StGenFaxNum", 148, FieldType::Text, 32},
    {"st_callback", "StCallBack", 180, FieldType::I16, 2},
    {"st_opernum", "StOperNum", 182, FieldType::Text, 32},
    {"st_fromname", "StFromName", 214, FieldType::Text, 60},
    {"st_fromphone", "StFromPhone", 274, FieldType::Text, 32},
    {"st_to_faxnum", "StToFaxNum", 306, FieldType::Text, 32},
    {"st_to_contactnum", "StToContactNum", 338, FieldType::Text, 32},
    {"st_to_name", "StToName", 370, FieldType::Text, 60},
    {"st_to_company", "StToCompany", 430, FieldType::Text, 60},
    {"st_to_citystate", "StToCityState", 490, FieldType::Text, 60},
    {"autoprint_netprint_id", "AutoPrintNetPrintID", 550, FieldType::Text, 10},
    {"default_printer", "DefaultPrinter", 560, FieldType::Text, 10},
    {"ucWebImageFormat", "WebImageFormat", 570, FieldType::U8, 1},
    {"szAutoSentPrinter", "AutoSentPrinter", 582, FieldType::Text, 10},
    {"usAutoPrintFlags", "AutoPrintFlags", 592, FieldType::Hex16, 2},
    {"ulSubscriberID", "SubscriberID", 594, FieldType::U32, 4},
    {"ulUserFlags2", "UserFlags2", 598, FieldType::Hex32, 4},
    {"ucHighestPriority", "HighestPriority", 624, FieldType::U8, 1},
    {"ucDefaultPriority", "DefaultPriority", 625, FieldType::U8, 1},
    {"newfax_notify_user", "NewFaxNotifyUser", 626, FieldType::Text, 22},
    {"routetype", "RouteType", 648, FieldType::U8, 1},
    {"routefmt", "RouteFmt", 649, FieldType::U8, 1},
    {"af_phone", "AfPhone", 650, FieldType::Text, 32},
    {"send_notify", "SendNotify", 682, FieldType::U16, 2},
    {"receive_notify", "ReceiveNotify", 684, FieldType::U16, 2},
    {"update_interval", "UpdateInterval", 686, FieldType::U16, 2},
    {"auto_delete", "AutoDelete", 688, FieldType::U16, 2},
    {"default_view_scale", "DefaultViewScale", 690, FieldType::U16, 2},
    {"autoocr_flags", "AutooCrFlags", 692, FieldType::U16, 2},
    {"autoocr_layout", "AutoOcrLayout", 694, FieldType::U8, 1},
    {"autoocr_format", "AutoOcrFormat", 695, FieldType::U8, 1},
    {"autoocr_ext", "AutoOcrExt", 696, FieldType::Text, 4},
    {"af_user", "AfUser", 700, FieldType::U8, 1},
    {"route_deleteafter", "RouteDeleteafter", 701, FieldType::U8, 1},
    {"ulChangeTag", "ChangeTag", 702, FieldType::ChangeTag, 4},
    {"routeinfo", "RouteInfo", 706, FieldType::Text, 100},
    {"nwdsname", "NwDsName", 806, FieldType::Text, 336},
    {"szOtherPBID_1", "OtherPBID_1", 1142, FieldType::Text, 22},
    {"szOtherPBID_2", "OtherPBID_2", 1164, FieldType::Text, 22},
    {"szOtherPBID_3", "OtherPBID_3", 1186, FieldType::Text, 22},
    {"szOtherPBID_4", "OtherPBID_4", 1208, FieldType::Text, 22},
    {"sRPO_StartPage", "RpoStartPage", 1278, FieldType::I16, 2},
    {"sRPO_EndPage", "RpoEndPage", 1280, FieldType::I16, 2},
    {"ucRPO_Flags", "RpoFlags", 1282, FieldType::U8, 1},
    {"ucRPO_Res", "RpoRes", 1283, FieldType::U8, 1},
    {"ucRPO_Size", "RpoSize", 1284, FieldType::U8, 1},
    {"ucRPO_Source", "RpoSource", 1285, FieldType::U8, 1},
    {"ucRPO_OutputBin", "RpoOutputBin", 1286, FieldType::U8, 1},
    {"ucRPO_Duplex", "RpoDuplex", 1287, FieldType::U8, 1},
    {"usRPO_SecurityCode", "RpoSecurityCode", 1288, FieldType::U16, 2},
    {"ucRPO_Copies", "RpoCopies", 1290, FieldType::U8, 1},
    {"ucEmailRouteForm", "EmailRouteForm", 1291, FieldType::U8, 1},
    {"aucRPO_AcctCode", "AucRpoAcctCode", 1292, FieldType::AcctCode, 8},
    {"ucRPO_Priority", "RpoPriority", 1300, FieldType::U8, 1},
    {"ucRPO_Other", "RpoOther", 1301, FieldType::U8, 1},
    {"szDefaultBI1", "DefaultBI1", 1302, FieldType::Text, 16},
    {"szDefaultBI2", "DefaultBI2", 1318, FieldType::Text, 16},
    {"sid", "SecurityID", 1334, FieldType::Sid, 568},
};

constexpr size_t kUserInfoFieldCount =
    sizeof(kUserInfoFields) / sizeof(kUserInfoFields[0]);

constexpr size_t kGroupIdRow = 0;
constexpr size_t kUserIdRow = 1;
constexpr size_t kUserNameRow = 2;
constexpr size_t kSidRow = kUserInfoFieldCount - 1;

/// Width in bytes that a number of the given type occupies (0 for texts).
constexpr size_t fieldWidth(FieldType type) {
  switch (type) {
    case FieldType::U8:
    case FieldType::AcctCode: return 1;
    case FieldType::U16:
    case FieldType::Hex16:
    case FieldType::I16: return 2;
    case FieldType::U32:
    case FieldType::Hex32:
    case FieldType::ChangeTag: return 4;
    case FieldType::Text:
    case FieldType::Sid: return 0;
  }
  return 0;
}

namespace internal {
// True when every row lies inside the record, numbers fill their room
// exactly, rows from the sixth on follow each other by offset without
// overlap, and the rows before do not overlap anything.
constexpr bool fieldTableIsSound() {
  for (size_t i = 0; i < kUserInfoFieldCount; ++i) {
    const FieldRow& row = kUserInfoFields[i];
    if (row.offset + row.room > kUserInfoSize) return false;
    size_t width = fieldWidth(row.type);
    if (width != 0 && row.type != FieldType::AcctCode && width != row.room)
      return false;
    for (size_t j = 0; j < kUserInfoFieldCount; ++j) {
      const FieldRow& other = kUserInfoFields[j];
      if (i != j && row.offset < other.offset + other.room &&
          other.offset < row.offset + row.room)
        return false;
    }
    if (i > 5 && kUserInfoFields[i - 1].offset >= row.offset) return false;
  }
  return true;
}
}  // namespace internal

// What the reports' readers and the client library's loads rely on: the
// CSV row has this many cells (the long section as many key lines), and the
// IDs and the name sit where the library writes them.
constexpr size_t kReportedFieldCount = 67;
constexpr size_t kRecordGroupIdOffset = 6;
constexpr size_t kRecordUserIdOffset = 32;
constexpr size_t kRecordUserNameOffset = 54;

static_assert(kUserInfoFieldCount == kReportedFieldCount, "field count");
static_assert(internal::fieldTableIsSound(), "field table layout");
static_assert(kUserInfoFields[kSidRow].offset + kUserInfoFields[kSidRow].room ==
                  kUserInfoSize,
              "sid runs to the end of the record");
static_assert(kUserInfoFields[kGroupIdRow].offset == kRecordGroupIdOffset &&
                  kUserInfoFields[kUserIdRow].offset == kRecordUserIdOffset &&
                  kUserInfoFields[kUserNameRow].offset == kRecordUserNameOffset,
              "ID and name offsets");

/// Returns the row whose long-report key is exactly `key`, or null; usable
/// in constant expressions.
constexpr const FieldRow* findFieldByKey(std::string_view key) {
  for (const FieldRow& row : kUserInfoFields) {
    if (key == row.key) return &row;
  }
  return nullptr;
}

}  // namespace tarvek

#endif  // TARVEK_SERVER_USER_INFO_RECORD_H_
