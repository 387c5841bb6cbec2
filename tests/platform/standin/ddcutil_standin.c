/* A stand-in for libddcutil, built under each soname the program may load:
 * it reports the version it is built with (STANDIN_MAJOR.STANDIN_MINOR.0),
 * one monitor on I2C bus 7 whose luminance reads 40 of 100, and takes every
 * write. The loader's tests put it in a temporary folder under the name the
 * program asks for. Compiled as C++ (the project builds no C); the API's
 * header gives the functions C linkage. */

#include <ddcutil_c_api.h>

#include <stdlib.h>
#include <string.h>

DDCA_Ddcutil_Version_Spec ddca_ddcutil_version(void)
{
    DDCA_Ddcutil_Version_Spec version = {STANDIN_MAJOR, STANDIN_MINOR, 0};
    return version;
}

const char* ddca_rc_desc(DDCA_Status status_code) { return status_code == 0 ? "success" : "stand-in failure"; }

const char* ddca_rc_name(DDCA_Status status_code) { return status_code == 0 ? "DDCRC_OK" : "DDCRC_STANDIN"; }

static int display_handle;

DDCA_Status ddca_open_display2(DDCA_Display_Ref ddca_dref, bool wait, DDCA_Display_Handle* ddca_dh_loc)
{
    (void)ddca_dref;
    (void)wait;
    *ddca_dh_loc = &display_handle;
    return 0;
}

DDCA_Status ddca_close_display(DDCA_Display_Handle ddca_dh)
{
    (void)ddca_dh;
    return 0;
}

DDCA_Status ddca_get_display_info_list2(bool include_invalid_displays, DDCA_Display_Info_List** dlist_loc)
{
    (void)include_invalid_displays;
    DDCA_Display_Info_List* list = (DDCA_Display_Info_List*)calloc(1, sizeof(DDCA_Display_Info_List) + sizeof(DDCA_Display_Info));
    list->ct = 1;
    DDCA_Display_Info* info = &list->info[0];
    info->dispno = 1;
    info->path.io_mode = DDCA_IO_I2C;
    info->path.path.i2c_busno = 7;
    strcpy(info->model_name, "Stand-in");
    strcpy(info->sn, "SN7");
    info->dref = &display_handle;
    *dlist_loc = list;
    return 0;
}

void ddca_free_display_info_list(DDCA_Display_Info_List* dlist) { free(dlist); }

DDCA_Status ddca_get_non_table_vcp_value(DDCA_Display_Handle ddca_dh, DDCA_Vcp_Feature_Code feature_code,
                                         DDCA_Non_Table_Vcp_Value* valrec)
{
    (void)ddca_dh;
    (void)feature_code;
    memset(valrec, 0, sizeof *valrec);
    valrec->ml = 100;
    valrec->sl = 40;
    return 0;
}

DDCA_Status ddca_set_non_table_vcp_value(DDCA_Display_Handle ddca_dh, DDCA_Vcp_Feature_Code feature_code,
                                         uint8_t hi_byte, uint8_t lo_byte)
{
    (void)ddca_dh;
    (void)feature_code;
    (void)hi_byte;
    (void)lo_byte;
    return 0;
}
