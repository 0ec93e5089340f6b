#include "documents/dati_note.h"
