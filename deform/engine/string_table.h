/* The string table of velk3d. Plain #defines so that both the resource script
   and C++ include it. The blanks are part of the texts. */
#ifndef VELK_DEFORM_STRING_TABLE_H
#define VELK_DEFORM_STRING_TABLE_H

#define DEFORM_STR_1 "#9"
#define DEFORM_STR_2 "Jalousie     #150 010 05 35 25 45 50 25 0"
#define DEFORM_STR_3 "Herring-Bone #012 030 10 99 25 25 00 50 6"
#define DEFORM_STR_4 "Velkstone     #035 055 00 50 45 32 50 00 0"
#define DEFORM_STR_5 "Front Bricks #015 015 40 30 40 40 50 50 6"
#define DEFORM_STR_6 "Roof         #010 130 40 40 45 30 40 00 2"
#define DEFORM_STR_7 "Embossed Wrapper #030 010 50 100 25 25 25 25 2"
#define DEFORM_STR_8 "Jabot        #035 039 00 50 15 45 00 50 0"
#define DEFORM_STR_9 "Gutters     #030 060 50 99 25 40 45 45 5"
#define DEFORM_STR_10 "Cellulary    #010 010 10 55 15 35 05 05 1"
#define DEFORM_STR_11 "SAVE USER  PRESET #"
#define DEFORM_STR_40 "Unable to locate User Preset      "

#endif
