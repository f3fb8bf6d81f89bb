// The opt-in address checks inside the cleaning pipeline: after the distinct
// valid addresses are in the intermediate file and before the exclusion pass,
// they are read in passes (UTF-8 inside), the addresses set aside go to
// -BadSyntax.csv, -Disposable.csv, -Role.csv and -NoMailDomain.csv, every
// rewrite to -Corrected.csv, and the intermediate file is replaced by the
// addresses that go on.  Every file in the list's encoding, as the CSV writer
// writes, put in place whole.
#pragma once

#include <string>

#include "export/address_check_settings.h"
#include "export/export_run.h"

namespace exporting {

// The settings with every "" folder replaced by its default.
AddressCheckSettings withDefaultFolders(AddressCheckSettings settings);

// Runs the checks over -Temp.csv when any is asked for and there is a valid
// address; shows its own failure message (lists, DNS set-up, files) and
// returns false then.  Cancelled: platform::OperationCancelled, the files it
// was writing dropped.
bool CheckAddresses(ExportRun& ctx, const AddressCheckSettings& settings);

}  // namespace exporting
