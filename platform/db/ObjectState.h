#pragma once

namespace platform::db {

// Whether a connection or a recordset is open (ADO's adStateClosed / adStateOpen).
enum class ObjectState { Closed, Open };

} // namespace platform::db
