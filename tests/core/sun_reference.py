#!/usr/bin/python3
# Prints the reference rows of SunTimes_test.cpp: sunrise and sunset as the
# almanacs define them (upper limb on a horizon lowered 34' by refraction, no
# atmosphere model on top), computed with PyEphem's full ephemeris, which is
# independent of the program's own short solar series. Needs python3-ephem.
from datetime import datetime, timedelta
from zoneinfo import ZoneInfo

import ephem

PLACES = [
    # name, latitude, longitude, zone, local dates
    ("London", 51.5074, -0.1278, "Europe/London", ["2024-03-31", "2024-06-21", "2024-12-21"]),
    ("New York", 40.7128, -74.0060, "America/New_York", ["2024-01-15", "2024-07-04"]),
    ("Sydney", -33.8688, 151.2093, "Australia/Sydney", ["2024-06-21", "2024-12-25"]),
    ("Tokyo", 35.6762, 139.6503, "Asia/Tokyo", ["2024-09-22"]),
    ("Quito", -0.1807, -78.4678, "America/Guayaquil", ["2024-03-20"]),
    ("Honolulu", 21.3069, -157.8583, "Pacific/Honolulu", ["2024-11-01"]),
    ("Auckland", -36.8485, 174.7633, "Pacific/Auckland", ["2024-04-07"]),
    ("Reykjavik", 64.1466, -21.9426, "Atlantic/Reykjavik", ["2024-06-21", "2024-12-21"]),
    ("Tromso", 69.6492, 18.9553, "Europe/Oslo", ["2024-03-20", "2024-06-21", "2024-12-21"]),
    ("McMurdo", -77.85, 166.67, "Antarctica/McMurdo", ["2024-06-21", "2024-12-21"]),
]

for name, lat, lon, zone, dates in PLACES:
    for d in dates:
        tz = ZoneInfo(zone)
        noon = datetime.fromisoformat(d + "T12:00").replace(tzinfo=tz).astimezone(ZoneInfo("UTC"))
        obs = ephem.Observer()
        obs.lat, obs.lon = str(lat), str(lon)
        obs.pressure = 0
        obs.horizon = "-0:34"
        obs.date = noon.strftime("%Y/%m/%d %H:%M:%S")
        sun = ephem.Sun()
        def fmt(f):
            try:
                t = f(sun).datetime().replace(tzinfo=ZoneInfo("UTC"))
                return '"' + t.strftime("%Y-%m-%dT%H:%M:%SZ") + '"'
            except ephem.AlwaysUpError:
                return "kUp"
            except ephem.NeverUpError:
                return "kDown"
        print(f'    {{"{name}", {lat}, {lon}, "{zone}", "{d}", {fmt(obs.previous_rising)}, {fmt(obs.next_setting)}}},')
