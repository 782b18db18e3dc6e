#include "rfsim/demo_server.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)demo_server.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

// Written as the long report writes it, one literal per section; every key
// of the field table is used (all of them by FaxAdmin).
const char kDemoServer[] =
    R"rfsim(; Halvard & Pike Shipping Ltd. (fictitious): the built-in demo server.
[Server]
Release=5.30
ZoneState=2
Bias=0
StandardBias=0
DaylightBias=-60

)rfsim"
    R"rfsim([IT_Ops\FaxAdmin]
GroupID=IT_Ops
UserID=FaxAdmin
UserName=Fax Administrator
NumFaxesOwned=112
UserFlags=0000A0F3
UserDID=4401
FcsModelName=FCS-3200
NotifyType=2
StDID=+44 161 555 4401
StGenFaxNum=+44 161 555 4000
StCallBack=3
StOperNum=+44 161 555 4100
StFromName=IT Operations
StFromPhone=+44 161 555 4400
StToFaxNum=+44 161 555 4999
StToContactNum=+44 161 555 4998
StToName=Service Desk
StToCompany=Halvard & Pike Shipping Ltd.
StToCityState=Manchester, Greater Manchester
AutoPrintNetPrintID=PRN-IT01
DefaultPrinter=IT-LASER1
WebImageFormat=2
AutoSentPrinter=IT-LASER2
AutoPrintFlags=00a1
SubscriberID=700123
UserFlags2=00000104
HighestPriority=7
DefaultPriority=4
NewFaxNotifyUser=Helpdesk_Queue
RouteType=2
RouteFmt=1
AfPhone=+44 161 555 4402
SendNotify=1
ReceiveNotify=1
UpdateInterval=30
AutoDelete=90
DefaultViewScale=100
AutooCrFlags=3
AutoOcrLayout=1
AutoOcrFormat=2
AutoOcrExt=rtf
AfUser=1
RouteDeleteafter=1
ChangeTag=1718035200, 06/10/2024 16:00:00 Z
RouteInfo=smtp:it-fax@halvard-pike.example
NwDsName=CN=FaxAdmin.OU=IT_Ops.O=HalvardPike
OtherPBID_1=IT_Shared
OtherPBID_2=Corp_Directory
OtherPBID_3=Vendors_IT
OtherPBID_4=Escalation
RpoStartPage=1
RpoEndPage=-1
RpoFlags=5
RpoRes=2
RpoSize=1
RpoSource=3
RpoOutputBin=2
RpoDuplex=1
RpoSecurityCode=4021
RpoCopies=2
EmailRouteForm=1
AucRpoAcctCode=42
RpoPriority=3
RpoOther=1
DefaultBI1=IT-4401
DefaultBI2=Ops budget
SecurityID=01 05 15 2A 7C 9E 41 B3 5D 0C E8 11 F4 03 01 02

)rfsim"
    R"rfsim([Sales\jmorrow]
UserName=Julia Morrow
NumFaxesOwned=39
UserFlags=00000073
UserDID=2101
StDID=+44 161 555 2101
StGenFaxNum=+44 161 555 2000
StFromName=Julia Morrow
StFromPhone=+44 161 555 3101
HighestPriority=4
DefaultPriority=3
NotifyType=2
StToCompany=Brightwater Marine Supply

)rfsim"
    R"rfsim([Sales\T_Okafor]
UserName=Tobenna Okafor
NumFaxesOwned=54
UserFlags=00000001
UserDID=2102
StDID=+44 161 555 2102
StGenFaxNum=+44 161 555 2000
StFromName=Tobenna Okafor
StFromPhone=+44 161 555 3102
HighestPriority=5
DefaultPriority=3
NotifyType=0
ChangeTag=1699963200

)rfsim"
    R"rfsim([Sales\ksato2]
UserName=Kenji Sato
NumFaxesOwned=31
UserFlags=000000B2
UserDID=2103
StDID=+44 161 555 2103
StGenFaxNum=+44 161 555 2000
StFromName=Kenji Sato
StFromPhone=+44 161 555 3103
HighestPriority=4
DefaultPriority=2
NotifyType=2
StCallBack=-1
UserFlags2=00000010

)rfsim"
    R"rfsim([Sales\Sales_Desk1]
UserName=Sales Desk (Inbound)
NumFaxesOwned=31
UserFlags=00000050
UserDID=2100
StDID=+44 161 555 2100
StGenFaxNum=+44 161 555 2000
StFromName=Sales Desk (Inbound)
StFromPhone=+44 161 555 3100
HighestPriority=6
DefaultPriority=2
NotifyType=2
NewFaxNotifyUser=jmorrow
RouteType=1

)rfsim"
    R"rfsim([Sales\mvanleer]
UserName=Maartje van Leer
NumFaxesOwned=11
UserFlags=00000050
UserDID=2104
StDID=+44 161 555 2104
StGenFaxNum=+44 161 555 2000
StFromName=Maartje van Leer
StFromPhone=+44 161 555 3104
HighestPriority=6
DefaultPriority=3
NotifyType=1

)rfsim"
    R"rfsim([ACCOUNTS\AP_Clerk01]
UserName=Accounts Payable Clerk 1
NumFaxesOwned=39
UserFlags=00000082
UserDID=3101
StDID=+44 161 555 3101
StGenFaxNum=+44 161 555 3000
StFromName=Accounts Payable Clerk 1
StFromPhone=+44 161 555 4101
HighestPriority=4
DefaultPriority=3
NotifyType=0
DefaultBI1=AP-3101

)rfsim"
    R"rfsim([ACCOUNTS\AP_Clerk02]
UserName=Accounts Payable Clerk 2
NumFaxesOwned=21
UserFlags=000000D3
UserDID=3102
StDID=+44 161 555 3102
StGenFaxNum=+44 161 555 3000
StFromName=Accounts Payable Clerk 2
StFromPhone=+44 161 555 4102
HighestPriority=4
DefaultPriority=2
NotifyType=2
DefaultBI1=AP-3102

)rfsim"
    R"rfsim([ACCOUNTS\rlindqvist]
UserName=Rune Lindqvist
NumFaxesOwned=47
UserFlags=000000D3
UserDID=3103
StDID=+44 161 555 3103
StGenFaxNum=+44 161 555 3000
StFromName=Rune Lindqvist
StFromPhone=+44 161 555 4103
HighestPriority=5
DefaultPriority=2
NotifyType=2
AucRpoAcctCode=17
RpoCopies=1

)rfsim"
    R"rfsim([ACCOUNTS\DChen]
UserName=Dana Chen
NumFaxesOwned=18
UserFlags=000000B3
UserDID=3104
StDID=+44 161 555 3104
StGenFaxNum=+44 161 555 3000
StFromName=Dana Chen
StFromPhone=+44 161 555 4104
HighestPriority=5
DefaultPriority=3
NotifyType=1
AutoPrintFlags=0003
DefaultPrinter=ACC-HP2

)rfsim"
    R"rfsim([ACCOUNTS\payroll_7]
UserName=Payroll Office
NumFaxesOwned=31
UserFlags=00000030
UserDID=3107
StDID=+44 161 555 3107
StGenFaxNum=+44 161 555 3000
StFromName=Payroll Office
StFromPhone=+44 161 555 4107
HighestPriority=6
DefaultPriority=2
NotifyType=2
SecurityID=01 02 0A 33 FE

)rfsim"
    R"rfsim([Legal_2\avk]
UserName=Annelise Vandermeer-Kowalczyk, Esq.
NumFaxesOwned=57
UserFlags=00000012
UserDID=5101
StDID=+44 161 555 5101
StGenFaxNum=+44 161 555 5000
StFromName=Annelise Vandermeer-Kowalczyk, Esq.
StFromPhone=+44 161 555 6101
HighestPriority=5
DefaultPriority=3
NotifyType=3
StCallBack=12

)rfsim"
    R"rfsim([Legal_2\Contracts]
UserName=Contracts Intake
NumFaxesOwned=56
UserFlags=00000023
UserDID=5100
StDID=+44 161 555 5100
StGenFaxNum=+44 161 555 5000
StFromName=Contracts Intake
StFromPhone=+44 161 555 6100
HighestPriority=6
DefaultPriority=2
NotifyType=1
RouteInfo=smtp:contracts@halvard-pike.example

)rfsim"
    R"rfsim([Legal_2\pbrennan]
UserName=Padraig O'Brennan
NumFaxesOwned=41
UserFlags=00000033
UserDID=5102
StDID=+44 161 555 5102
StGenFaxNum=+44 161 555 5000
StFromName=Padraig O'Brennan
StFromPhone=+44 161 555 6102
HighestPriority=5
DefaultPriority=3
NotifyType=1

)rfsim"
    R"rfsim([Legal_2\L_Assist3]
UserName=Legal Assistant 3
NumFaxesOwned=38
UserDID=5103
StDID=+44 161 555 5103
StGenFaxNum=+44 161 555 5000
StFromName=Legal Assistant 3
StFromPhone=+44 161 555 6103
HighestPriority=4
DefaultPriority=1
NotifyType=2
UserFlags=00000001

)rfsim"
    R"rfsim([IT_Ops\svc_scan01]
UserName=Scanner Service Account
NumFaxesOwned=47
UserFlags=000000E0
UserDID=4490
StDID=+44 161 555 4490
StGenFaxNum=+44 161 555 4000
StFromName=Scanner Service Account
StFromPhone=+44 161 555 5490
HighestPriority=6
DefaultPriority=3
NotifyType=2
AfUser=1
AfPhone=+44 161 555 4490

)rfsim"
    R"rfsim([IT_Ops\hnguyen]
UserName=Hoa Nguyen
NumFaxesOwned=35
UserFlags=000000C0
UserDID=4402
StDID=+44 161 555 4402
StGenFaxNum=+44 161 555 4000
StFromName=Hoa Nguyen
StFromPhone=+44 161 555 5402
HighestPriority=5
DefaultPriority=2
NotifyType=0

)rfsim"
    R"rfsim([IT_Ops\BackupOp]
UserName=Backup Operator
NumFaxesOwned=0
UserFlags=00000070
UserDID=4403
StDID=+44 161 555 4403
StGenFaxNum=+44 161 555 4000
StFromName=Backup Operator
StFromPhone=+44 161 555 5403
HighestPriority=5
DefaultPriority=2
NotifyType=1
UserFlags2=80000000

)rfsim"
    R"rfsim([Warehouse\dock_A]
UserName=Dock A Dispatch
NumFaxesOwned=46
UserFlags=00000040
UserDID=6101
StDID=+44 161 555 6101
StGenFaxNum=+44 161 555 6000
StFromName=Dock A Dispatch
StFromPhone=+44 161 555 7101
HighestPriority=6
DefaultPriority=3
NotifyType=2
StToCityState=Salford, Greater Manchester

)rfsim"
    R"rfsim([Warehouse\dock_B]
UserName=Dock B Dispatch
NumFaxesOwned=40
UserFlags=00000011
UserDID=6102
StDID=+44 161 555 6102
StGenFaxNum=+44 161 555 6000
StFromName=Dock B Dispatch
StFromPhone=+44 161 555 7102
HighestPriority=6
DefaultPriority=3
NotifyType=0

)rfsim"
    R"rfsim([Warehouse\fquigley]
UserName=Fergus Quigley
NumFaxesOwned=52
UserFlags=00000083
UserDID=6103
StDID=+44 161 555 6103
StGenFaxNum=+44 161 555 6000
StFromName=Fergus Quigley
StFromPhone=+44 161 555 7103
HighestPriority=5
DefaultPriority=2
NotifyType=1
RpoStartPage=2
RpoEndPage=5

)rfsim"
    R"rfsim([Warehouse\Stock99]
UserName=Stock Control
NumFaxesOwned=1
UserFlags=000000F2
UserDID=6199
StDID=+44 161 555 6199
StGenFaxNum=+44 161 555 6000
StFromName=Stock Control
StFromPhone=+44 161 555 7199
HighestPriority=4
DefaultPriority=1
NotifyType=2
WebImageFormat=1

)rfsim"
    R"rfsim([Warehouse\zpetrova]
UserName=Zlata Petrova
NumFaxesOwned=44
UserFlags=00000031
UserDID=6104
StDID=+44 161 555 6104
StGenFaxNum=+44 161 555 6000
StFromName=Zlata Petrova
StFromPhone=+44 161 555 7104
DefaultPriority=1
NotifyType=1
HighestPriority=5

)rfsim"
    R"rfsim([ACCOUNTS\Audit_2024]
UserName=External Audit 2024
NumFaxesOwned=30
UserFlags=00000043
UserDID=3124
StDID=+44 161 555 3124
StGenFaxNum=+44 161 555 3000
StFromName=External Audit 2024
StFromPhone=+44 161 555 4124
HighestPriority=4
DefaultPriority=1
NotifyType=1

)rfsim"
    R"rfsim([Legal_2\mAlvarez]
UserName=Marisol Alvarez
NumFaxesOwned=44
UserFlags=000000E1
UserDID=5104
StDID=+44 161 555 5104
StGenFaxNum=+44 161 555 5000
StFromName=Marisol Alvarez
StFromPhone=+44 161 555 6104
HighestPriority=4
DefaultPriority=3
NotifyType=1
ChangeTag=1725000000, 08/30/2024 06:40:00 Z

)rfsim"
    R"rfsim([Sales\EXPORT_desk]
UserName=Export Desk
NumFaxesOwned=9
UserFlags=00000042
UserDID=2190
StDID=+44 161 555 2190
StGenFaxNum=+44 161 555 2000
StFromName=Export Desk
StFromPhone=+44 161 555 3190
HighestPriority=5
DefaultPriority=1
NotifyType=1
OtherPBID_1=Agents_EU
OtherPBID_2=Agents_Asia


)rfsim";

}  // namespace

const char* demoServerText(size_t* length) {
  if (length) *length = sizeof(kDemoServer) - 1;
  return kDemoServer;
}

}  // namespace rfsim
