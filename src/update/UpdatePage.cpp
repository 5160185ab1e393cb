#include "update/UpdatePage.h"

// Until the update page and the download exist, the offer ends as if the user had
// closed the page without installing. The update page replaces this function.
int OfferUpdate(HWND, const UpdateParams&, UpdateInput&, const UpdateAnswer&) {
    return kUpdateNotNeeded;
}
