// The ISO 9660 structures of the disc's first track, byte by byte: field
// encodings, volume descriptors, directory records, path tables and the
// name rules.
#pragma once

#include "discimage/iso9660/iso9660_directory_record.h"
#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/iso9660/iso9660_names.h"
#include "discimage/iso9660/iso9660_path_table.h"
#include "discimage/iso9660/iso9660_volume.h"
