-- Procedimiento que crea las filas de MA_CALENDARIO de un rango de fechas.
-- Recibe la primera y la última fecha como texto aaaammdd; las fechas que ya
-- tienen fila se conservan con su temporada.
if exists (select * from dbo.sysobjects where name = 'ts_CreaCalendario' and type = 'P')
drop procedure dbo.ts_CreaCalendario
GO
CREATE PROCEDURE dbo.ts_CreaCalendario
    @Desde varchar(8),
    @Hasta varchar(8)
AS
WITH Dias (Fecha) AS (
    SELECT CONVERT(datetime, @Desde, 112)
    UNION ALL
    SELECT DATEADD(day, 1, Fecha) FROM Dias WHERE Fecha < CONVERT(datetime, @Hasta, 112)
)
INSERT INTO MA_CALENDARIO (Fecha, nolaborable)
SELECT Dias.Fecha, 0 FROM Dias
WHERE NOT EXISTS (SELECT 1 FROM MA_CALENDARIO c WHERE c.Fecha = Dias.Fecha)
OPTION (MAXRECURSION 400)
GO
