// Every condition builder of the tool in one include.
#pragma once

#include "conditions/address_classes.h"
#include "conditions/address_filters.h"
#include "conditions/comma_list.h"
#include "conditions/domain_statistics.h"
#include "conditions/exclusion_join.h"
#include "conditions/sql_text.h"
