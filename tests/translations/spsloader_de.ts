<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>VeDataLoadThread</name>
    <message>
        <source>Reading</source>
        <translation>Lesen</translation>
    </message>
</context>
<context>
    <name>VeSeismicSurveyPlugin</name>
    <message>
        <source>Seismic Survey</source>
        <translation>Seismische Vermessung</translation>
    </message>
</context>
</TS>
